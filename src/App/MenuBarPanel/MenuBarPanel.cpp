#include "App/MenuBarPanel/MenuBarPanel.h"

#include "App/MenuBarPanel/PanelButton.h"
#include "App/MenuBarPanel/PanelDockerPage.h"
#include "App/MenuBarPanel/PanelHealth.h"
#include "App/MenuBarPanel/PanelMetricPage.h"
#include "App/MenuBarPanel/PanelOverviewPage.h"
#include "App/MenuBarPanel/PanelPlacement.h"
#include "App/MenuBarPanel/PanelProjectsPage.h"
#include "App/MenuBarPanel/PanelTabButton.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Platform/MachineName.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Services/DockerPanelModel.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/FadingStack.h"
#include "Views/Common/TintedNotice.h"
#include "Views/DesignSystem/BrandMark.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Ease.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/ProjectStopConfirmation.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString tabKey = QStringLiteral("menuBarTab");

DiskCapacityService::Capacity startupVolume() { return DiskCapacityService().capacity("/"); }

// A click on the tray icon that closed the panel by taking its focus must not open it again.
constexpr auto reopenGuard = std::chrono::milliseconds(300);

}  // namespace

MenuBarPanel::MenuBarPanel(AppState& state, Actions actions, QWidget* parent) : MenuBarPanel(state, std::move(actions), Options(), parent) {}

MenuBarPanel::MenuBarPanel(AppState& state, Actions actions, Options options, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), state_(state), actions_(std::move(actions)),
      options_(std::move(options)), docker_(new DockerPanelModel(options_.dockerInterval, this)),
      stopConfirmation_(new ProjectStopConfirmation(state.monitor(), this)),
      context_{state, state.monitor(), options_.capacity ? options_.capacity : startupVolume, options_.clock,
               [this](PanelTab tab) { selectTab(tab); }, [this] { openMain(); }, stopConfirmation_, docker_} {
    setObjectName(QStringLiteral("menuBarPanel"));
    setWindowTitle(QStringLiteral("Quarnell"));
    setFixedWidth(360);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(12, 12, 12, 12);
    stack->setSpacing(14);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(6, 2, 6, 0);
    header->setSpacing(10);
    header->addWidget(new BrandMark(26));
    auto* names = new QVBoxLayout;
    names->setSpacing(1);
    names->addWidget(new TextLabel(QStringLiteral("Quarnell"), Fonts::system(14, QFont::DemiBold)));
    auto* machine = new TextLabel(DisplayText::name(MachineName::pretty()), Fonts::system(11), DynamicColor::secondary());
    machine->setObjectName("machineName");
    names->addWidget(machine);
    header->addLayout(names, 1);
    header->addSpacing(8);
    healthPill_ = new Pill({}, {}, DS::green);
    healthPill_->setObjectName("health");
    header->addWidget(healthPill_);
    stack->addLayout(header);

    auto* tabBarBox = new CardModifier(4, 14);
    tabBarBox->setObjectName("tabBar");
    tabBarBox->setOutlined(false);
    tabBarBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tabBar_ = new QHBoxLayout;
    tabBar_->setSpacing(2);
    tabBarBox->contentLayout()->addLayout(tabBar_);
    stack->addWidget(tabBarBox);

    QFont captionFont = Fonts::system(12, QFont::DemiBold);
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    caption_ = new TextLabel({}, captionFont, DynamicColor::secondary());
    caption_->setContentsMargins(12, 0, 12, 0);
    stack->addWidget(caption_);

    pageCard_ = new CardModifier(18, 16);
    pageCard_->contentLayout()->setSpacing(0);
    pages_ = new FadingStack(Ease::panelTabMs);
    pageCard_->contentLayout()->addWidget(pages_);
    stack->addWidget(pageCard_);

    auto* banner = new TintedNotice(DS::orange, 12);
    banner->setObjectName("lowSpace");
    banner->rowLayout()->addWidget(new SymbolView({.symbol = "exclamationmark.triangle.fill", .size = 13, .color = DS::orange}));
    banner->rowLayout()->addWidget(new TextLabel(AppLocalization::string("menubar.lowSpace"), Fonts::system(13, QFont::Medium)), 1);
    lowSpaceBanner_ = banner;
    stack->addWidget(lowSpaceBanner_);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(8);
    openButton_ = new PanelButton(AppLocalization::string("menubar.open"), QStringLiteral("macwindow"));
    openButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    settingsButton_ = new PanelButton({}, QStringLiteral("gearshape"));
    settingsButton_->setToolTip(AppLocalization::string("nav.settings"));
    settingsButton_->setAccessibleName(AppLocalization::string("nav.settings"));
    quitButton_ = new PanelButton(AppLocalization::string("menubar.quit"), QStringLiteral("power"));
    footer->addWidget(openButton_, 1);
    footer->addWidget(settingsButton_);
    footer->addWidget(quitButton_);
    stack->addLayout(footer);
    connect(openButton_, &QAbstractButton::clicked, this, [this] { context_.openMain(); });
    // Settings open as the main window's settings section, as every other way into the window does.
    connect(settingsButton_, &QAbstractButton::clicked, this, [this] {
        state_.setSelectedSection(AppSection::settings);
        context_.openMain();
    });
    connect(quitButton_, &QAbstractButton::clicked, this, [this] {
        if (actions_.quit) actions_.quit();
    });

    // The applications' pass ends on its own, after its sample's figures.
    if (SystemMonitor* monitor = state_.monitor())
        for (auto signal : {&SystemMonitor::metricsChanged, &SystemMonitor::appsChanged})
            connect(monitor, signal, this, [this] {
                if (isVisible()) refresh();
            });
    SettingsStore::shared().watch(tabKey, this, [this] {
        showCurrentPage();
        followDockerPolling();
    });
    buildTabBar();
    showCurrentPage();
}

MenuBarPanel::~MenuBarPanel() { dockerStop_.request_stop(); }

PanelTab MenuBarPanel::currentTab() const {
    const bool hasBattery = state_.monitor() && state_.monitor()->metrics().batteryPercent.has_value();
    return PanelTabs::current(SettingsStore::shared().text(tabKey), hasBattery);
}

void MenuBarPanel::openMain() {
    // The panel has done its work once the window comes forward; left open it would cover the window.
    hide();
    if (actions_.openMain) actions_.openMain();
}

void MenuBarPanel::selectTab(PanelTab tab) { SettingsStore::shared().setValue(tabKey, rawText(tab)); }

void MenuBarPanel::buildTabBar() {
    tabsWithBattery_ = state_.monitor() && state_.monitor()->metrics().batteryPercent.has_value();
    for (PanelTabButton* button : tabButtons_) delete button;
    tabButtons_.clear();
    for (PanelTab tab : PanelTabs::shown(tabsWithBattery_)) {
        auto* button = new PanelTabButton(tab);
        connect(button, &QAbstractButton::clicked, this, [this, tab] { selectTab(tab); });
        tabBar_->addWidget(button, 1);
        tabButtons_.push_back(button);
    }
}

void MenuBarPanel::showCurrentPage() {
    const PanelTab tab = currentTab();
    for (PanelTabButton* button : tabButtons_) button->setCurrent(button->tab() == tab);
    caption_->setText(AppLocalization::string(PanelTabs::titleKey(tab)).toUpper());
    if (page_ && pageTab_ == tab) return;
    pageTab_ = tab;
    switch (tab) {
    case PanelTab::overview: page_ = new PanelOverviewPage(context_); break;
    case PanelTab::projects: page_ = new PanelProjectsPage(context_); break;
    case PanelTab::docker: page_ = new PanelDockerPage(context_); break;
    default: page_ = new PanelMetricPage(tab, context_); break;
    }
    pages_->setCurrent(page_);  // the old page dissolves into the new one
}

void MenuBarPanel::fitHeight() {
    // The width is fixed; the height follows the content laid out in it.
    QLayout* stack = layout();
    stack->activate();
    const int wanted = stack->hasHeightForWidth() ? stack->totalHeightForWidth(width()) : stack->totalSizeHint().height();
    const int fitted = std::max(wanted, stack->totalMinimumSize().height());
    if (fitted != this->height() || minimumHeight() != maximumHeight()) setFixedHeight(fitted);
}

void MenuBarPanel::refresh() {
    const bool hasBattery = state_.monitor() && state_.monitor()->metrics().batteryPercent.has_value();
    if (hasBattery != tabsWithBattery_) buildTabBar();
    showCurrentPage();
    const DiskCapacityService::Capacity volume = context_.capacity();
    const SystemMonitor* monitor = state_.monitor();
    const PanelHealth health = PanelHealth::of(volume, monitor ? monitor->memory().pressure : MemoryPressure::normal,
                                               monitor && monitor->measured().cpu ? monitor->metrics().cpuUsage : 0);
    healthPill_->setText(AppLocalization::string(health.key));
    healthPill_->setSymbol(health.symbol);
    healthPill_->setTint(health.tint);
    lowSpaceBanner_->setVisible(PanelHealth::isLowOnSpace(volume));
    page_->refresh();
    fitHeight();
}

void MenuBarPanel::followDockerPolling() {
    const bool wanted = isVisible() && currentTab() == PanelTab::docker;
    if (wanted == pollingDocker_) return;
    pollingDocker_ = wanted;
    if (wanted) {
        dockerStop_ = std::stop_source();
        docker_->poll(dockerStop_.get_token());
    } else {
        dockerStop_.request_stop();
    }
}

void MenuBarPanel::toggleAt(const QRect& iconGeometry, bool clicked) {
    if (isVisible()) {
        hide();
        return;
    }
    if (std::chrono::steady_clock::now() - closedByFocusLoss_ < reopenGuard) return;
    popUp(iconGeometry, clicked);
}

void MenuBarPanel::popUp(const QRect& iconGeometry, bool clicked) {
    refresh();
    const QPoint pointer = QCursor::pos();
    const QRect anchor = PanelPlacement::anchor(iconGeometry, pointer, clicked);
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size());
    move(PanelPlacement::topLeft(anchor, size(), area));
    show();
    raise();
    activateWindow();
}

bool MenuBarPanel::ownsActiveDialog() const {
    for (const QWidget* window = QApplication::activeWindow(); window; window = window->parentWidget())
        if (window == this) return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->parentWidget() == this;
}

void MenuBarPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && !ownsActiveDialog()) {
        closedByFocusLoss_ = std::chrono::steady_clock::now();
        hide();
    }
}

void MenuBarPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MenuBarPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (SystemMonitor* monitor = state_.monitor()) monitor->start();
    refresh();
    followDockerPolling();
}

void MenuBarPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    followDockerPolling();
}

bool MenuBarPanel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // A page that grew or shrank (rows of a later refresh) asks for a new layout: the height follows.
    if (event->type() == QEvent::LayoutRequest) fitHeight();
    return handled;
}

void MenuBarPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), DS::canvas.resolved());
    painter.setPen(DS::hairline.resolved());
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
