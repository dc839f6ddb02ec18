#include "App/RootView.h"

#include "Views/Common/FileActionAlerts.h"
#include "Models/AppLocalization.h"
#include "Services/Preferences.h"
#include "Services/AppState.h"
#include "Views/Shell/AppSectionPresentation.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/Common/FadingStack.h"
#include "Views/Shell/OnboardingView.h"
#include "Views/Monitor/MonitorView.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Search/SearchView.h"
#include "Views/Shell/SettingsView.h"
#include "Views/Storage/StorageView.h"
#include "Views/Tools/ToolsView.h"
#include "Views/Uninstaller/UninstallerView.h"

#include <QBoxLayout>
#include <QMessageBox>
#include <QPainter>

namespace {

constexpr int sectionFadeMs = 180;
constexpr AppSection tabSections[] = {AppSection::overview, AppSection::storage, AppSection::search,
                                      AppSection::uninstaller, AppSection::monitor, AppSection::tools};

}  // namespace

RootView::RootView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    showGate();
    Preferences::watch(Preferences::Key::didCompleteOnboarding, this, [this] { showGate(); });
    connect(&state_, &AppState::selectedSectionChanged, this, &RootView::followSection);
    connect(&FileActionAlerts::shared(), &FileActionAlerts::failed, this, &RootView::showFileActionFailure);
}

void RootView::showFileActionFailure(const QString& message) {
    if (!isVisible()) return;  // the settings window or the panel may be in front; this window says nothing unseen
    auto* alert = new QMessageBox(QMessageBox::Warning, AppLocalization::string("Quarnell"), message, QMessageBox::Ok, this);
    alert->setTextFormat(Qt::PlainText);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

AppSection RootView::section() const { return state_.selectedSection().value_or(AppSection::overview); }

QWidget* RootView::screen() const { return screens_ ? screens_->current() : nullptr; }

void RootView::showGate() {
    const bool completed = Preferences::flag(Preferences::Key::didCompleteOnboarding);
    if (content_ && completed == (onboarding_ == nullptr)) return;
    if (content_) {
        // The old content may be what sent the signal that brought us here: let it finish first.
        content_->hide();
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    onboarding_ = nullptr;
    tabBar_ = nullptr;
    settingsButton_ = nullptr;
    screens_ = nullptr;

    if (completed) {
        content_ = makeShell();
    } else {
        // Onboarding stands centred in the window, with no tabs and no settings button.
        content_ = new QWidget;
        auto* centring = new QGridLayout(content_);
        onboarding_ = new OnboardingView(state_);
        centring->addWidget(onboarding_, 0, 0, Qt::AlignCenter);
        connect(onboarding_, &OnboardingView::completed, this, [] { Preferences::setFlag(Preferences::Key::didCompleteOnboarding, true); });
    }
    layout()->addWidget(content_);
    if (onboarding_) onboarding_->setFocus();
}

QWidget* RootView::makeShell() {
    auto* shell = new QWidget;
    auto* column = new QVBoxLayout(shell);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    std::vector<TabItem> tabs;
    for (AppSection tab : tabSections)
        tabs.push_back({rawText(tab), AppLocalization::string(AppSectionPresentation::tabTitleKey(tab)), AppSectionPresentation::symbol(tab),
                        AppSectionPresentation::tint(tab)});
    tabBar_ = new PillTabBar(tabs, rawText(section()));
    tabBar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(tabBar_, &PillTabBar::selectionChanged, this, [this](const QString& id) { state_.setSelectedSection(fromRawText<AppSection>(id)); });

    settingsButton_ = new SymbolButton({.symbol = QStringLiteral("gearshape"), .size = 17});
    settingsButton_->setFrameSize({34, 34});
    settingsButton_->setToolTip(AppLocalization::string("nav.settings"));
    settingsButton_->setAccessibleName(AppLocalization::string("nav.settings"));
    connect(settingsButton_, &SymbolButton::clicked, this, [this] { state_.setSelectedSection(AppSection::settings); });

    // The tabs sit in the middle; a blank as wide as the settings button balances it.
    auto* toolbar = new QHBoxLayout;
    toolbar->setContentsMargins(14, 10, 14, 8);
    toolbar->addSpacing(34);
    toolbar->addStretch(1);
    toolbar->addWidget(tabBar_);
    toolbar->addStretch(1);
    toolbar->addWidget(settingsButton_);
    column->addLayout(toolbar);

    screens_ = new FadingStack(sectionFadeMs);
    column->addWidget(screens_, 1);
    shown_ = section();
    screens_->setCurrent(makeScreen(shown_));
    followSection();
    return shell;
}

// The screen of a section, made anew each time it is shown.
QWidget* RootView::makeScreen(AppSection shown) {
    switch (shown) {
    case AppSection::settings: return new SettingsView(state_);
    case AppSection::overview: return new OverviewView(state_);
    case AppSection::storage: return new StorageView(state_, DS::amber);
    case AppSection::monitor: return new MonitorView(state_);
    case AppSection::tools: return new ToolsView(state_);
    case AppSection::search: return new SearchView(state_);
    case AppSection::uninstaller: return new UninstallerView(state_, DS::pink);
    }
    return new QWidget;
}

void RootView::followSection() {
    if (!screens_) return;
    const bool onSettings = section() == AppSection::settings;
    tabBar_->setSelection(rawText(section()));  // settings matches no tab: none is marked
    settingsButton_->setImage({.symbol = onSettings ? QStringLiteral("gearshape.fill") : QStringLiteral("gearshape"),
                               .size = 17,
                               .color = onSettings ? DS::teal : DynamicColor::primary()});
    if (section() == shown_) return;
    // A new screen each time: a screen's own state does not outlive its section.
    shown_ = section();
    screens_->setCurrent(makeScreen(shown_));
}

void RootView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (SystemMonitor* monitor = state_.monitor()) monitor->start();
}

void RootView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
