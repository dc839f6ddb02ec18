// The shell: onboarding, the root view with its tabs, settings, the language choice and the
// application's windows and menus, driven offscreen.
#include "App/FolderPanel.h"
#include "App/FolderPanelDates.h"
#include "App/QuarnellApp.h"
#include "App/RootView.h"
#include "Models/AppLocalization.h"
#include "Models/AppRelauncher.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Services/FakeAppServices.h"
#include "Support/FixtureRoots.h"
#include "Views/Shell/AppVersion.h"
#include "Views/Common/FileActionAlerts.h"
#include "Views/Common/LeftToRightTextStyle.h"
#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ToggleSwitch.h"
#include "Views/Shell/OnboardingView.h"
#include "Views/Shell/PreferencePicker.h"
#include "Views/Shell/SettingsView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstring>


namespace {

const QStringList preferenceKeys{"appLanguage", "appAppearance", "didCompleteOnboarding", "menuBarStyle", "scanRootBookmark"};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& key : preferenceKeys) SettingsStore::shared().remove(key);
        SettingsStore::shared().setValue("appLanguage", "en");
        Appearance::shared().install();
        QApplication::setLayoutDirection(Qt::LeftToRight);
        AppRelauncher::setHooks({[this] { return ++relaunches, true; }, [] {}, [] {}});
        std::filesystem::create_directories(tree.path() / "home");
    }
    void TearDown() override {
        fake.abandon.request_stop();
        for (const QString& key : preferenceKeys) SettingsStore::shared().remove(key);
        QApplication::setLayoutDirection(Qt::LeftToRight);
        AppRelauncher::setHooks({[] { return false; }, [] {}, [] {}});
    }

    AppState& makeState() {
        state = std::make_unique<AppState>(fake.services());
        return *state;
    }

    // A temporary home for the fixture roots, with folders to choose.
    struct Tree {
        QTemporaryDir dir;
        std::filesystem::path path() const { return dir.path().toStdString(); }
        std::filesystem::path folder(const std::string& relative) const {
            std::filesystem::create_directories(path() / relative);
            return path() / relative;
        }
    } tree;
    FixtureRoots roots{tree.path()};
    FakeAppServices fake;
    std::unique_ptr<AppState> state;
    int relaunches = 0;
};

// --- onboarding ---

TEST_F(ShellTest, OnboardingStepsThroughItsThreePages) {
    OnboardingView onboarding(makeState());
    int completions = 0;
    QObject::connect(&onboarding, &OnboardingView::completed, [&] { ++completions; });
    onboarding.show();

    EXPECT_EQ(onboarding.page(), 0);
    EXPECT_FALSE(onboarding.backButton()->isVisible());
    EXPECT_EQ(onboarding.stepCounterText(), "Step 1 of 3");
    EXPECT_EQ(onboarding.forwardTitle(), AppLocalization::string("action.continue"));
    EXPECT_TRUE(onboarding.stepState(0).selected);
    EXPECT_FALSE(onboarding.stepState(1).selected || onboarding.stepState(1).complete);
    EXPECT_FALSE(onboarding.connectorComplete(0) || onboarding.connectorComplete(1));

    QTest::keyClick(&onboarding, Qt::Key_Return);  // Return advances like the forward button
    EXPECT_EQ(onboarding.page(), 1);
    EXPECT_TRUE(onboarding.backButton()->isVisible());
    EXPECT_TRUE(onboarding.stepState(0).complete);
    EXPECT_TRUE(onboarding.stepState(1).selected);
    EXPECT_FALSE(onboarding.stepState(2).selected || onboarding.stepState(2).complete);
    EXPECT_TRUE(onboarding.connectorComplete(0));
    EXPECT_FALSE(onboarding.connectorComplete(1));

    QTest::mouseClick(onboarding.forwardButton(), Qt::LeftButton);
    EXPECT_EQ(onboarding.page(), 2);
    EXPECT_EQ(onboarding.forwardTitle(), AppLocalization::string("onboarding.start"));
    EXPECT_TRUE(onboarding.stepState(2).selected);
    EXPECT_FALSE(onboarding.stepState(2).complete);  // the last step is never complete
    EXPECT_TRUE(onboarding.connectorComplete(1));

    QTest::mouseClick(onboarding.backButton(), Qt::LeftButton);
    EXPECT_EQ(onboarding.page(), 1);
    QTest::keyClick(&onboarding, Qt::Key_Enter);
    QTest::keyClick(&onboarding, Qt::Key_Return);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(onboarding.page(), 2);
}

// The card keeps its one size on every page, in both languages: the block never jumps.
TEST_F(ShellTest, OnboardingKeepsOneSizeOnEveryPage) {
    for (const char* language : {"en", "ar"}) {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        OnboardingView onboarding(makeState());
        onboarding.show();
        for (int page = 0; page < 3; ++page) {
            QApplication::processEvents();
            EXPECT_EQ(onboarding.size(), QSize(790, 560)) << language << " page " << page;
            if (page < 2) QTest::mouseClick(onboarding.forwardButton(), Qt::LeftButton);
        }
    }
}

TEST_F(ShellTest, OnboardingSetupPageShowsTheScanFolderAndItsChoice) {
    AppState& app = makeState();
    const auto chosen = tree.folder("Projects");
    fake.chooseFolder = [&](const std::filesystem::path&) { return std::optional<std::filesystem::path>(chosen); };
    OnboardingView onboarding(app);
    onboarding.goForward();
    onboarding.goForward();
    auto labels = onboarding.pageWidget()->findChildren<TextLabel*>();
    auto showsPath = [&](const std::filesystem::path& path) {
        return std::any_of(labels.begin(), labels.end(), [&](TextLabel* label) { return label->text() == DisplayText::path(path); });
    };
    EXPECT_TRUE(showsPath(tree.path() / "home"));
    for (StyledButton* button : onboarding.pageWidget()->findChildren<StyledButton*>()) {
        if (button->text() == AppLocalization::string("scan.choose")) QTest::mouseClick(button, Qt::LeftButton);
        if (button->text() == AppLocalization::string("settings.openSystem")) QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(app.scanRoot(), chosen);
    EXPECT_TRUE(showsPath(chosen));
    EXPECT_EQ(fake.privacySettingsOpened, 1);
    EXPECT_FALSE(app.isScanning());  // onboarding starts no scan
}

// --- root view ---

TEST_F(ShellTest, TheRootViewShowsOnboardingUntilItIsCompletedThenTheSections) {
    AppState& app = makeState();
    RootView root(app);
    root.resize(1320, 880);
    root.show();
    ASSERT_TRUE(root.onboarding());
    EXPECT_FALSE(root.tabBar());
    EXPECT_FALSE(root.settingsButton());

    root.onboarding()->goForward();
    root.onboarding()->goForward();
    root.onboarding()->goForward();
    EXPECT_TRUE(SettingsStore::shared().flag("didCompleteOnboarding"));
    EXPECT_FALSE(root.onboarding());
    ASSERT_TRUE(root.tabBar());
    EXPECT_EQ(root.tabBar()->selection(), "overview");

    // No stored section: the overview.
    app.setSelectedSection(std::nullopt);
    EXPECT_EQ(root.section(), AppSection::overview);
    EXPECT_EQ(root.tabBar()->selection(), "overview");
    EXPECT_EQ(root.settingsButton()->image().symbol, "gearshape");
    EXPECT_EQ(root.settingsButton()->image().color, DynamicColor::primary());

    QWidget* before = root.screen();
    emit root.tabBar()->selectionChanged("tools");
    EXPECT_EQ(app.selectedSection(), AppSection::tools);
    EXPECT_NE(root.screen(), before);

    QTest::mouseClick(root.settingsButton(), Qt::LeftButton);
    EXPECT_EQ(app.selectedSection(), AppSection::settings);
    EXPECT_TRUE(qobject_cast<SettingsView*>(root.screen()));
    EXPECT_TRUE(root.tabBar()->markerRect().isEmpty());  // no tab stands for settings
    EXPECT_EQ(root.settingsButton()->image().symbol, "gearshape.fill");
    EXPECT_EQ(root.settingsButton()->image().color, DS::teal);

    // Navigating from elsewhere (the overview's tiles, the panel) switches the screen too.
    app.setSelectedSection(AppSection::storage);
    EXPECT_FALSE(qobject_cast<SettingsView*>(root.screen()));
    EXPECT_EQ(root.tabBar()->selection(), "storage");
}

TEST_F(ShellTest, ShowingTheRootViewStartsTheMonitorOnce) {
    AppServices services = fake.services();
    services.monitor = std::make_unique<SystemMonitor>(SystemMonitor::Environment{.interval = std::chrono::hours(1)});
    AppState app(std::move(services));
    RootView root(app);
    EXPECT_EQ(app.monitor()->tick(), 0);
    root.show();
    EXPECT_EQ(app.monitor()->tick(), 1);  // sampled at once
    root.hide();
    root.show();
    EXPECT_EQ(app.monitor()->tick(), 1);  // starting again adds no timer and no sample
}

// --- settings and the language choice ---

TEST_F(ShellTest, TheLanguageChoiceRelaunchesOnlyOnAChange) {
    SettingsView settings(makeState());
    PreferencePicker* picker = settings.languagePicker();
    EXPECT_EQ(picker->currentData().toString(), "en");

    picker->activated(picker->findData("en"));  // the option already chosen
    EXPECT_EQ(relaunches, 0);
    picker->activated(picker->findData("ar"));
    EXPECT_EQ(SettingsStore::shared().text("appLanguage"), "ar");
    EXPECT_EQ(relaunches, 1);

    // A value written by another tool reads as system; picking system then stores it and relaunches
    // (in a new process: one process relaunches at most once).
    AppRelauncher::setHooks({[this] { return ++relaunches, true; }, [] {}, [] {}});
    SettingsStore::shared().setValue("appLanguage", "fr");
    EXPECT_EQ(picker->currentData().toString(), "system");
    picker->activated(picker->findData("system"));
    EXPECT_EQ(SettingsStore::shared().text("appLanguage"), "system");
    EXPECT_EQ(relaunches, 2);
}

// A language the settings file could not take would be lost with the instance that held it: the app
// beeps and runs on with it, and relaunches once the file holds every change again.
TEST_F(ShellTest, ALanguageTheFileCouldNotTakeIsNotRelaunchedAway) {
    const QString usual = SettingsStore::shared().filePath();
    QTemporaryDir folder;
    const QString path = folder.filePath("Quarnell.conf");
    SettingsStore::shared().useFile(path);
    SettingsStore::shared().setValue("appLanguage", "en");
    int beeps = 0;
    AppRelauncher::setHooks({[this] { return ++relaunches, true; }, [&] { ++beeps; }, [] {}});
    {
        SettingsView settings(makeState());
        rlimit usualLimit{};
        ::getrlimit(RLIMIT_FSIZE, &usualLimit);
        const rlimit small{rlim_t(QFileInfo(path).size() - 1), usualLimit.rlim_max};
        ::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        settings.languagePicker()->activated(settings.languagePicker()->findData("ar"));
        ::setrlimit(RLIMIT_FSIZE, &usualLimit);
        ::signal(SIGXFSZ, SIG_DFL);
        EXPECT_TRUE(SettingsStore::shared().writeFailure());
        EXPECT_EQ(SettingsStore::shared().text("appLanguage"), "ar");  // for this run
        EXPECT_EQ(relaunches, 0);
        EXPECT_EQ(beeps, 1);

        SettingsStore::shared().setValue("appAppearance", "dark");  // stores the language too
        settings.languagePicker()->activated(settings.languagePicker()->findData("system"));
        EXPECT_EQ(relaunches, 1);
    }
    EXPECT_EQ(SettingsFile(path).loadKeepingDamageAside().value("appLanguage").toString(), "system");
    SettingsStore::shared().useFile(usual);
}

TEST_F(ShellTest, TwoSettingsScreensShareEveryValue) {
    AppState& app = makeState();
    SettingsView window(app), section(app);

    window.appearancePicker()->activated(window.appearancePicker()->findData("dark"));
    EXPECT_EQ(SettingsStore::shared().text("appAppearance"), "dark");
    EXPECT_EQ(section.appearancePicker()->currentData().toString(), "dark");
    EXPECT_TRUE(Appearance::shared().isDark());
    window.appearancePicker()->activated(window.appearancePicker()->findData("system"));

    EXPECT_EQ(window.menuBarPicker()->selection(), "icon");
    emit window.menuBarPicker()->selectionChanged("graph");
    EXPECT_EQ(SettingsStore::shared().text("menuBarStyle"), "graph");
    EXPECT_EQ(section.menuBarPicker()->selection(), "graph");

    EXPECT_FALSE(window.hiddenSwitch()->isChecked());
    window.hiddenSwitch()->click();
    EXPECT_TRUE(app.includeHiddenFiles());
    EXPECT_TRUE(section.hiddenSwitch()->isChecked());

    const auto chosen = tree.folder("Media");
    fake.chooseFolder = [&](const std::filesystem::path&) { return std::optional<std::filesystem::path>(chosen); };
    QTest::mouseClick(window.changeFolderButton(), Qt::LeftButton);
    EXPECT_EQ(section.scanLocation()->text(), DisplayText::path(chosen));
    EXPECT_FALSE(app.isScanning());

    QTest::mouseClick(section.openSystemButton(), Qt::LeftButton);
    EXPECT_EQ(fake.privacySettingsOpened, 1);
}

// Where no settings program is installed the button says why instead of doing nothing.
TEST_F(ShellTest, PrivacySettingsWithoutASettingsProgramIsDisabledAndSaysWhy) {
    fake.privacySettingsInstalled = false;
    SettingsView settings(makeState());
    EXPECT_FALSE(settings.openSystemButton()->isEnabled());
    EXPECT_TRUE(settings.openSystemButton()->toolTip().contains(AppLocalization::string("settings.openSystem.unavailable").toHtmlEscaped()));
    QTest::mouseClick(settings.openSystemButton(), Qt::LeftButton);
    EXPECT_EQ(fake.privacySettingsOpened, 0);
}

TEST_F(ShellTest, TheVersionReadsShortVersionAndBuild) {
    EXPECT_EQ(AppVersion::displayValue("1.4", "27"), "1.4 (27)");
    EXPECT_EQ(AppVersion::displayValue("", ""), QString::fromUtf8("\u2014 (\u2014)"));
    SettingsView settings(makeState());
    EXPECT_EQ(settings.versionLabel()->layoutDirection(), Qt::LeftToRight);
}

TEST_F(ShellTest, TheWindowShowsAFileActionFailureAsPlainText) {
    SettingsStore::shared().setValue("didCompleteOnboarding", true);
    RootView root(makeState());
    root.show();
    emit FileActionAlerts::shared().failed("No application could open <b>x</b>");
    auto* alert = root.findChild<QMessageBox*>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "No application could open <b>x</b>");
    EXPECT_EQ(alert->textFormat(), Qt::PlainText);
    alert->close();
}

// --- the application ---

TEST_F(ShellTest, TheApplicationHasItsWindowAndScanMenu) {
    QuarnellApp quarnell(fake.services());
    QMainWindow* window = quarnell.mainWindow();
    EXPECT_EQ(window->objectName(), "main");
    EXPECT_EQ(window->size(), QSize(1320, 880));
    EXPECT_GE(window->centralWidget()->minimumWidth(), 1080);
    EXPECT_GE(window->centralWidget()->minimumHeight(), 720);

    const QList<QAction*> commands = quarnell.scanMenu()->actions();
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(commands[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    commands[0]->trigger();
    EXPECT_TRUE(quarnell.state().isScanning());
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    commands[0]->trigger();  // restarts the running scan
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 2; }));
    quarnell.showSettingsWindow();
    const QRect available = quarnell.settingsWindow()->screen()->availableGeometry();
    EXPECT_EQ(quarnell.settingsWindow()->size(), QSize(620, 620).boundedTo(available.size()));
    // Offscreen there is no tray: no tray item, and closing the last window quits.
    EXPECT_EQ(quarnell.menuBarExtra(), nullptr);
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    fake.abandon.request_stop();
}

// The settings window opens inside the screen's available area, smaller when the screen is, and
// comes back inside it where the user left it.
TEST_F(ShellTest, TheSettingsWindowStaysInsideTheScreen) {
    QuarnellApp quarnell(fake.services());
    quarnell.showMainWindow();
    quarnell.showSettingsWindow();
    QWidget* window = quarnell.settingsWindow();
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->geometry()));
    EXPECT_EQ(window->size(), QSize(620, 620).boundedTo(available.size()));
    EXPECT_EQ(window->geometry().center(), available.center());

    window->close();
    window->move(available.topLeft() + QPoint(30, 40));
    window->resize(400, 300);
    quarnell.showSettingsWindow();
    EXPECT_EQ(window->geometry(), QRect(available.topLeft() + QPoint(30, 40), QSize(400, 300)));  // kept
    window->close();
    window->setGeometry(QRect(available.bottomRight() - QPoint(100, 50), QSize(400, 300)));
    quarnell.showSettingsWindow();
    EXPECT_TRUE(available.contains(window->geometry()));
    EXPECT_EQ(window->size(), QSize(400, 300));
}

// Every road to a window (the tray, a second launch, the settings key) brings it back from the dock:
// shown and raised alone, a minimized window would stay iconic. A maximized window stays maximized.
TEST_F(ShellTest, BringingAWindowForwardRestoresItFromMinimized) {
    QuarnellApp quarnell(fake.services());
    QMainWindow* window = quarnell.mainWindow();
    quarnell.showMainWindow();
    window->setWindowState(Qt::WindowMinimized);
    quarnell.showMainWindow();
    EXPECT_EQ(window->windowState(), Qt::WindowNoState);
    EXPECT_TRUE(window->isVisible());
    window->setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    window->hide();  // closed to the tray, too
    quarnell.showMainWindow();
    EXPECT_EQ(window->windowState(), Qt::WindowMaximized);
    EXPECT_TRUE(window->isVisible());

    quarnell.showSettingsWindow();
    quarnell.settingsWindow()->setWindowState(Qt::WindowMinimized);
    quarnell.showSettingsWindow();
    EXPECT_EQ(quarnell.settingsWindow()->windowState(), Qt::WindowNoState);
    fake.abandon.request_stop();
}

// The keys reach their commands wherever the focus is in the main window: here on the tab bar,
// outside the storage screen whose scan Escape cancels.
TEST_F(ShellTest, ShortcutsWorkWithTheFocusAnywhereInTheMainWindow) {
    SettingsStore::shared().setValue("didCompleteOnboarding", true);
    QuarnellApp quarnell(fake.services());
    quarnell.state().setSelectedSection(AppSection::storage);
    quarnell.showMainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(quarnell.mainWindow()));
    auto* tabs = quarnell.mainWindow()->findChild<PillTabBar*>();
    ASSERT_NE(tabs, nullptr);
    tabs->setFocus();

    QTest::keyClick(tabs, Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return fake.scans.size() == 1; }));
    EXPECT_TRUE(quarnell.state().isScanning());
    QTest::keyClick(tabs, Qt::Key_Escape);
    EXPECT_FALSE(quarnell.state().isScanning());

    QTest::keyClick(tabs, Qt::Key_Comma, Qt::ControlModifier);
    ASSERT_NE(quarnell.settingsWindow(), nullptr);
    EXPECT_TRUE(quarnell.settingsWindow()->isVisible());
    fake.abandon.request_stop();
}

TEST_F(ShellTest, TheStoredLanguageSetsTheDirection) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    QuarnellApp::applyLanguage();
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(QLocale().language(), QLocale::Arabic);
    // Qt's own buttons speak the chosen language too.
    auto standardTexts = [] {
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QStringList texts;
        for (QAbstractButton* button : buttons.buttons()) texts << button->text().remove(QLatin1Char('&'));
        return texts;
    };
    for (const QString& text : standardTexts()) EXPECT_TRUE(text.isRightToLeft()) << text.toStdString();
    SettingsStore::shared().setValue("appLanguage", "en");
    QuarnellApp::applyLanguage();
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_TRUE(standardTexts().contains(QStringLiteral("Cancel")));
    SettingsStore::shared().setValue("appLanguage", "xx");
    QuarnellApp::applyLanguage();
    EXPECT_EQ(QApplication::layoutDirection(), AppLocalization::isRightToLeft(AppLanguage::system) ? Qt::RightToLeft : Qt::LeftToRight);
    QLocale::setDefault(QLocale::c());
}

}  // namespace

// A settings file that cannot be read is said once, over the main window, and never written: later
// changes hold for the run only and say nothing more.
TEST_F(ShellTest, UnreadableSettingsAreSaidOnceAndNeverWritten) {
    const QString usual = SettingsStore::shared().filePath();
    QTemporaryDir folder;
    const QString dangling = folder.filePath("Quarnell.conf");
    std::filesystem::create_symlink(folder.filePath("gone/Quarnell.conf").toStdString(), dangling.toStdString());
    SettingsStore::shared().useFile(dangling);
    {
        QuarnellApp quarnell(fake.services());
        quarnell.showMainWindow();
        QApplication::processEvents();
        auto* notice = qobject_cast<QMessageBox*>(quarnell.unreadableSettingsNotice());
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->text(), AppLocalization::string("settings.unreadable.title"));
        EXPECT_EQ(notice->informativeText(),
                  AppLocalization::format("settings.unreadable.detail", {isolatedText(dangling), isolatedText(AppLocalization::string("settings.danglingLink"))}));
        notice->close();
        QApplication::processEvents();

        SettingsStore::shared().setValue("appAppearance", "dark");
        QApplication::processEvents();
        EXPECT_EQ(SettingsStore::shared().text("appAppearance"), "dark");  // for this run
        EXPECT_FALSE(quarnell.unreadableSettingsNotice());
        EXPECT_TRUE(quarnell.mainWindow()->findChildren<QMessageBox*>().isEmpty());
        EXPECT_TRUE(std::filesystem::is_symlink(dangling.toStdString()));
        EXPECT_FALSE(std::filesystem::exists(folder.filePath("gone").toStdString()));
    }
    SettingsStore::shared().useFile(usual);
}

// A change that cannot be written (the file size limit stands in for a full disk) is said once,
// over the main window; the file keeps what it held, and the change holds for the run.
TEST_F(ShellTest, AFailedSettingsWriteIsSaidOnce) {
    const QString usual = SettingsStore::shared().filePath();
    QTemporaryDir folder;
    const QString path = folder.filePath("Quarnell.conf");
    SettingsStore::shared().useFile(path);
    SettingsStore::shared().setValue("appAppearance", "light");
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(before.isEmpty());
    {
        QuarnellApp quarnell(fake.services());
        quarnell.showMainWindow();
        QApplication::processEvents();
        EXPECT_FALSE(quarnell.unwritableSettingsNotice());

        rlimit usualLimit{};
        ::getrlimit(RLIMIT_FSIZE, &usualLimit);
        const rlimit small{rlim_t(before.size() + 64), usualLimit.rlim_max};
        ::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        SettingsStore::shared().setValue("menuBarTab", QString(4096, 'x'));
        SettingsStore::shared().setValue("appAppearance", "dark");
        ::setrlimit(RLIMIT_FSIZE, &usualLimit);
        ::signal(SIGXFSZ, SIG_DFL);
        QApplication::processEvents();

        auto* notice = qobject_cast<QMessageBox*>(quarnell.unwritableSettingsNotice());
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->text(), AppLocalization::string("settings.unwritable.title"));
        const int error = *SettingsStore::shared().writeFailure();
        EXPECT_EQ(notice->informativeText(), AppLocalization::format("settings.unwritable.detail", {isolatedText(path), isolatedText(QString::fromLocal8Bit(std::strerror(error)))}));
        EXPECT_EQ(SettingsStore::shared().text("appAppearance"), "dark");  // for this run
        EXPECT_EQ(quarnell.mainWindow()->findChildren<QMessageBox*>().size(), 1);
        notice->close();
        QApplication::processEvents();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
    }
    SettingsStore::shared().useFile(usual);
}

// A settings file found damaged at start is kept aside and rewritten with what could be read; that
// is said over the main window, with the file and where its copy is, and nothing else is said.
TEST_F(ShellTest, ASettingsFileKeptAsideAtStartIsSaid) {
    const QString usual = SettingsStore::shared().filePath();
    QTemporaryDir folder;
    const QString path = folder.filePath("Quarnell.conf");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nappAppearance=dark\nscanHistory.v1=\"[{\n");
    }
    SettingsStore::shared().useFile(path);
    const auto copy = SettingsStore::shared().damagedCopy();
    ASSERT_TRUE(copy);
    {
        QuarnellApp quarnell(fake.services());
        quarnell.showMainWindow();
        QApplication::processEvents();
        auto* notice = qobject_cast<QMessageBox*>(quarnell.damagedSettingsNotice());
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->text(), AppLocalization::string("settings.damaged.title"));
        EXPECT_EQ(notice->informativeText(), AppLocalization::format("settings.damaged.detail", {isolatedText(path), isolatedText(*copy)}));
        EXPECT_EQ(quarnell.mainWindow()->findChildren<QMessageBox*>().size(), 1);
        EXPECT_FALSE(quarnell.unreadableSettingsNotice());
        EXPECT_FALSE(quarnell.unwritableSettingsNotice());
        EXPECT_EQ(SettingsStore::shared().text("appAppearance"), "dark");
        notice->close();
        QApplication::processEvents();
    }
    SettingsStore::shared().useFile(usual);
}

// The scan folder is chosen, not made: the panel offers no way to create a folder.
TEST(FolderPanel, ChoosesFoldersOnlyAndMakesNone) {
    QTemporaryDir start;
    QFileDialog panel;
    FolderPanel::prepare(panel, start.path().toStdString());
    EXPECT_EQ(panel.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(panel.testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(panel.directory().absolutePath(), start.path());
    EXPECT_EQ(panel.labelText(QFileDialog::Accept), AppLocalization::string("scan.choose"));
    panel.show();
    QCoreApplication::processEvents();
    auto* make = panel.findChild<QWidget*>("newFolderButton");
    ASSERT_NE(make, nullptr);
    EXPECT_FALSE(make->isVisible());
    if (auto* action = panel.findChild<QAction*>("qt_new_folder_action")) {
        EXPECT_FALSE(action->isVisible());
    }
    panel.reject();
}

namespace {

// Room a text leaves in `width`: negative when it is cut.
int roomFor(const QFontMetrics& metrics, const QString& text, int width) { return width - metrics.horizontalAdvance(text); }

}  // namespace

// In English and in Arabic, with Qt's own texts of the language: every button, heading, date and
// place whole at the size the panel opens at; no type column (all rows are folders); dates in the
// chosen language.
TEST(FolderPanel, OpensWithEveryColumnAndButtonWholeInEitherLanguage) {
    QTemporaryDir start;
    for (const char* name : {"Documents", "مستندات العائلة"}) QDir(start.path()).mkdir(QString::fromUtf8(name));
    for (const char* language : {"en", "ar"}) {
        SCOPED_TRACE(language);
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        QuarnellApp::applyLanguage();
        QFileDialog panel;
        // As a desktop that puts icons on dialog buttons does: an icon shifts right-to-left text off the button.
        for (QAbstractButton* button : panel.findChild<QDialogButtonBox*>("buttonBox")->buttons())
            button->setIcon(panel.style()->standardIcon(QStyle::SP_DialogCancelButton));
        FolderPanel::prepare(panel, start.path().toStdString());
        panel.show();
        auto* details = panel.findChild<QTreeView*>("treeView");
        ASSERT_TRUE(details);
        auto* files = qobject_cast<QFileSystemModel*>(details->model());
        ASSERT_TRUE(files);
        ASSERT_TRUE(waitUntil([&] { return files->rowCount(details->rootIndex()) == 2; }));
        QCoreApplication::processEvents();

        EXPECT_TRUE(details->isColumnHidden(FolderPanel::typeColumn));
        QHeaderView* header = details->header();
        for (int column = 0; column < header->count(); ++column) {
            if (details->isColumnHidden(column)) continue;
            const QString heading = files->headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(roomFor(header->fontMetrics(), heading, header->sectionSize(column)), 24) << heading.toStdString();
        }
        for (int row = 0; row < 2; ++row) {
            const QModelIndex date = files->index(row, FolderPanel::dateColumn, details->rootIndex());
            ASSERT_TRUE(qobject_cast<FolderPanelDates*>(details->itemDelegateForColumn(FolderPanel::dateColumn)));
            const QString shown = FolderPanelDates::shown(date);
            EXPECT_EQ(shown, AppLocalization::activeLocale().toString(files->lastModified(date), QLocale::ShortFormat));
            EXPECT_GE(roomFor(details->fontMetrics(), shown, header->sectionSize(FolderPanel::dateColumn)), 12) << shown.toStdString();
            if (QString::fromLatin1(language) == "ar") {
                EXPECT_TRUE(shown.contains(QChar(0x0662)));  // ٢ of the year
            }
        }
        for (QPushButton* button : panel.findChild<QDialogButtonBox*>("buttonBox")->findChildren<QPushButton*>()) {
            EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            EXPECT_GE(roomFor(button->fontMetrics(), QString(button->text()).remove('&'), inside.width()), 0) << button->text().toStdString();
        }
        auto* places = panel.findChild<QListView*>("sidebar");
        ASSERT_TRUE(places);
        for (int row = 0; row < places->model()->rowCount(); ++row) {
            const QString place = places->model()->index(row, 0).data().toString();
            EXPECT_GE(roomFor(places->fontMetrics(), place, places->viewport()->width() - places->iconSize().width() - 12), 0) << place.toStdString();
        }
        panel.reject();
    }
    SettingsStore::shared().remove("appLanguage");
    QuarnellApp::applyLanguage();
}

// The path box's text reads left to right also where the application reads right to left: the
// painter shapes in the application's direction, and "/home/user" would read "home/user/".
TEST(FolderPanel, ThePathReadsLeftToRightInARightToLeftWindow) {
    QComboBox box;
    auto* style = new LeftToRightTextStyle(&box);
    EXPECT_EQ(box.style(), style);
    auto drawn = [&](QStyle* drawing, Qt::LayoutDirection direction) {
        QImage image(200, 24, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setLayoutDirection(direction);
        drawing->drawItemText(&painter, image.rect(), Qt::AlignLeft | Qt::AlignVCenter, box.palette(), true, "/home/user");
        return image;
    };
    EXPECT_EQ(drawn(style, Qt::RightToLeft), drawn(style, Qt::LeftToRight));
    EXPECT_NE(drawn(QApplication::style(), Qt::RightToLeft), drawn(QApplication::style(), Qt::LeftToRight));
}
