#include "App/QuarnellApp.h"

#include "App/FolderPanel.h"
#include "App/MenuBarPanel/MenuBarExtra.h"
#include "App/RootView.h"
#include "App/UnreadableSettingsNotice.h"
#include "App/WindowForward.h"
#include "App/WindowPlacement.h"
#include "Services/AppServices.h"
#include "Models/AppLocalization.h"
#include "Foundation/PathText.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/BrandMark.h"
#include "Platform/SettingsStore.h"
#include "Views/Shell/SettingsView.h"

#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>

#include <unicode/locid.h>

#include <memory>

namespace {

QIcon brandIcon() {
    QIcon icon;
    for (int side : {16, 32, 64, 128, 256}) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        BrandMark::paint(painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

}  // namespace

QuarnellApp::QuarnellApp() : QuarnellApp(AppServices::live()) {}

QuarnellApp::QuarnellApp(AppServices services) {
    applyLanguage();
    Appearance::shared().install();
    QApplication::setWindowIcon(brandIcon());

    mainWindow_ = new QMainWindow;
    mainWindow_->setObjectName(QStringLiteral("main"));
    mainWindow_->setWindowTitle(AppLocalization::string("Quarnell"));

    // The folder panel is a window of the app, so the state object asks for it through its services.
    services.chooseFolder = [this](const std::filesystem::path& start) -> std::optional<std::filesystem::path> {
        QFileDialog panel(mainWindow_);
        FolderPanel::prepare(panel, start);
        if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty()) return std::nullopt;
        return PathText::fromText(panel.selectedFiles().constFirst());
    };
    state_ = std::make_unique<AppState>(std::move(services));

    auto* root = new RootView(*state_);
    root->setMinimumSize(1080, 720);
    mainWindow_->setCentralWidget(root);
    mainWindow_->resize(1320, 880);

    // The application menu holds what the desktop's own menu would: settings and quit.
    QMenu* appMenu = mainWindow_->menuBar()->addMenu(AppLocalization::string("Quarnell"));
    QAction* settings = appMenu->addAction(AppLocalization::string("nav.settings"), this, &QuarnellApp::showSettingsWindow);
    // The desktop's own preferences key is empty on most Linux desktops; Ctrl+, is what users expect.
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    QAction* quit = appMenu->addAction(AppLocalization::string("menu.quit"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);

    scanMenu_ = mainWindow_->menuBar()->addMenu(AppLocalization::string("menu.scan"));
    scanMenu_->addAction(AppLocalization::string("scan.start"), QKeySequence(Qt::CTRL | Qt::Key_R), state_.get(), &AppState::startScan);
    scanMenu_->addAction(AppLocalization::string("scan.choose"), QKeySequence(Qt::CTRL | Qt::Key_O), state_.get(), &AppState::chooseScanFolder);

    // Said once: at start when the file could not be read then, or when a later change finds it so;
    // the same for a write that failed.
    connect(&SettingsStore::shared(), &SettingsStore::readFailed, this, &QuarnellApp::warnUnreadableSettings, Qt::QueuedConnection);
    if (SettingsStore::shared().readFailure()) QTimer::singleShot(0, this, &QuarnellApp::warnUnreadableSettings);
    connect(&SettingsStore::shared(), &SettingsStore::writeFailed, this, &QuarnellApp::warnUnwritableSettings, Qt::QueuedConnection);
    if (SettingsStore::shared().writeFailure()) QTimer::singleShot(0, this, &QuarnellApp::warnUnwritableSettings);
    // A file found damaged at start was kept aside and rewritten with what could be read: whatever
    // was lost with the damage is said, never dropped unseen.
    if (SettingsStore::shared().damagedCopy()) QTimer::singleShot(0, this, &QuarnellApp::warnDamagedSettings);

    menuBarExtra_ = MenuBarExtra::createIfTrayAvailable(*state_, {[this] { showMainWindow(); }, [] { QApplication::quit(); }});
    QApplication::setQuitOnLastWindowClosed(!menuBarExtra_);
}

QuarnellApp::~QuarnellApp() {
    // The windows read the state object: they go first.
    menuBarExtra_.reset();
    delete settingsWindow_;
    delete mainWindow_;
}

void QuarnellApp::showMainWindow() { WindowForward::bring(*mainWindow_); }

void QuarnellApp::showSettingsWindow() {
    if (!settingsWindow_) {
        settingsWindow_ = new QWidget(nullptr, Qt::Window);
        settingsWindow_->setWindowTitle(AppLocalization::string("nav.settings"));
        auto* layout = new QVBoxLayout(settingsWindow_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new SettingsView(*state_));
    }
    WindowPlacement::fit(*settingsWindow_, QSize(620, 620), mainWindow_);
    WindowForward::bring(*settingsWindow_);
}

void QuarnellApp::warnUnreadableSettings() {
    const auto failure = SettingsStore::shared().readFailure();
    if (warnedUnreadableSettings_ || !failure) return;
    warnedUnreadableSettings_ = true;
    unreadableSettingsNotice_ = showSettingsNotice(makeUnreadableSettingsNotice(*failure, SettingsStore::shared().filePath()));
}

void QuarnellApp::warnUnwritableSettings() {
    const auto failure = SettingsStore::shared().writeFailure();
    if (warnedUnwritableSettings_ || !failure) return;
    warnedUnwritableSettings_ = true;
    unwritableSettingsNotice_ = showSettingsNotice(makeUnwritableSettingsNotice(*failure, SettingsStore::shared().filePath()));
}

void QuarnellApp::warnDamagedSettings() {
    const auto copy = SettingsStore::shared().damagedCopy();
    if (damagedSettingsNotice_ || !copy) return;
    damagedSettingsNotice_ = showSettingsNotice(makeDamagedSettingsNotice(SettingsStore::shared().filePath(), *copy));
}

QPointer<QWidget> QuarnellApp::showSettingsNotice(std::unique_ptr<QMessageBox> made) {
    QMessageBox* notice = made.release();
    notice->setParent(mainWindow_, notice->windowFlags());
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->open();
    return notice;
}

void QuarnellApp::applyLanguage() {
    const AppLanguage language = AppLocalization::selectedLanguage();
    const QLocale locale = AppLocalization::locale(language);
    QLocale::setDefault(locale);
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(locale.language() == QLocale::C ? "en" : locale.bcp47Name().toUtf8().constData()), status);
    QApplication::setLayoutDirection(AppLocalization::isRightToLeft(language) ? Qt::RightToLeft : Qt::LeftToRight);

    // Qt's own texts (standard buttons, the folder panel) from the system's Qt translations.
    static std::unique_ptr<QTranslator> qtTexts;
    if (qtTexts) QCoreApplication::removeTranslator(qtTexts.get());
    qtTexts = std::make_unique<QTranslator>();
    if (qtTexts->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts.get());
    else
        qtTexts.reset();
}
