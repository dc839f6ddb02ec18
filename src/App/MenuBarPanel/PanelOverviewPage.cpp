#include "App/MenuBarPanel/PanelOverviewPage.h"

#include "App/MenuBarPanel/PanelCardButton.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Services/AppState.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/FigureAndUnit.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Monitor/MonitorContent.h"
#include "Views/Monitor/MonitorText.h"

#include <QBoxLayout>

QString PanelOverviewPage::activityText(std::uint64_t readPerSecond, std::uint64_t writePerSecond) {
    return QStringLiteral("↓ ") + MonitorText::rate(readPerSecond) + QStringLiteral("   ↑ ") + MonitorText::rate(writePerSecond);
}

PanelOverviewPage::PanelOverviewPage(const PanelContext& context, QWidget* parent) : PanelPage(parent), context_(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(16);

    storageCard_ = new PanelCardButton(Qt::Horizontal, DynamicColor::clear(), 0, 0);
    storageCard_->setObjectName("storageCard");
    storageCard_->contentLayout()->setSpacing(16);
    donut_ = new DonutChart({}, {}, AppLocalization::string("monitor.used"), 9);
    donut_->setFixedSize(84, 84);
    storageCard_->addContent(donut_);
    auto* texts = new QWidget;
    auto* textStack = new QVBoxLayout(texts);
    textStack->setContentsMargins(0, 0, 0, 0);
    textStack->setSpacing(4);
    freeOf_ = new TextLabel({}, Fonts::system(12), DynamicColor::secondary());
    textStack->addWidget(freeOf_);
    free_ = new FigureAndUnit(Fonts::system(32, QFont::Bold), Fonts::system(15, QFont::Medium), 5, 1);
    textStack->addWidget(free_);
    activity_ = new TextLabel({}, Fonts::system(12, QFont::Medium), DS::amber);
    activity_->setLayoutDirection(Qt::LeftToRight);
    textStack->addWidget(activity_);
    storageCard_->addContent(texts, 1);
    connect(storageCard_, &QAbstractButton::clicked, this, [this] { context_.selectTab(PanelTab::disk); });
    page->addWidget(storageCard_);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(8);
    for (PanelTab tab : {PanelTab::cpu, PanelTab::memory, PanelTab::network}) {
        auto* button = new PanelCardButton(Qt::Vertical, DS::raised, 1, 12);
        button->setObjectName(QStringLiteral("tile.") + rawText(tab));
        button->contentLayout()->setContentsMargins(10, 10, 10, 10);
        button->contentLayout()->setSpacing(6);
        auto* heading = new QWidget;
        auto* headingLine = new QHBoxLayout(heading);
        headingLine->setContentsMargins(0, 0, 0, 0);
        headingLine->setSpacing(5);
        headingLine->addWidget(new SymbolView({.symbol = PanelTabs::symbol(tab), .size = 10, .color = PanelTabs::tint(tab)}));
        headingLine->addWidget(new TextLabel(AppLocalization::string(PanelTabs::titleKey(tab)), Fonts::system(11), DynamicColor::secondary()), 1);
        button->addContent(heading);
        auto* value = new TextLabel({}, Fonts::system(15, QFont::DemiBold));
        value->setMinimumScaleFactor(0.7);
        button->addContent(value);
        const std::optional<double> scale = tab == PanelTab::network ? std::nullopt : std::optional<double>(1.0);
        auto* bars = new BarSparkline({}, PanelTabs::tint(tab), scale, 14, 26);
        button->addContent(bars);
        connect(button, &QAbstractButton::clicked, this, [this, tab] { context_.selectTab(tab); });
        tiles->addWidget(button, 1);
        tiles_.push_back({tab, button, value, bars});
    }
    page->addLayout(tiles);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    AppState& state = context_.state;
    scanAction_ = quickAction("menubar.action.scan", "play.fill", DS::amber, [&state] {
        state.setSelectedSection(AppSection::storage);
        if (!state.isScanning()) state.startScan();
    });
    searchAction_ = quickAction("menubar.action.search", "magnifyingglass", DS::blue, [&state] { state.setSelectedSection(AppSection::search); });
    cleanAction_ = quickAction("menubar.action.clean", "sparkles", DS::teal, [&state] {
        state.setSelectedSection(AppSection::tools);
        state.loadCleanupCandidates();
    });
    for (PanelCardButton* action : {scanAction_, searchAction_, cleanAction_}) actions->addWidget(action, 1);
    page->addLayout(actions);
    refresh();
}

PanelCardButton* PanelOverviewPage::quickAction(const char* titleKey, const char* symbol, const DynamicColor& tint, std::function<void()> action) {
    auto* button = new PanelCardButton(Qt::Vertical, tint, 0.12, 12);
    button->setObjectName(titleKey);
    button->contentLayout()->setContentsMargins(0, 10, 0, 10);
    button->contentLayout()->setSpacing(6);
    button->addContent(new SymbolView({.symbol = symbol, .size = 13, .color = tint}), 0, Qt::AlignHCenter);
    button->addContent(new TextLabel(AppLocalization::string(titleKey), Fonts::system(11, QFont::Medium)), 0, Qt::AlignHCenter);
    connect(button, &QAbstractButton::clicked, this, [this, action = std::move(action)] {
        action();
        context_.openMain();
    });
    return button;
}

PanelCardButton* PanelOverviewPage::tile(PanelTab tab) const {
    for (const Tile& tile : tiles_)
        if (tile.tab == tab) return tile.button;
    return nullptr;
}

BarSparkline* PanelOverviewPage::tileBars(PanelTab tab) const {
    for (const Tile& tile : tiles_)
        if (tile.tab == tab) return tile.bars;
    return nullptr;
}

void PanelOverviewPage::refresh() {
    const DiskCapacityService::Capacity volume = context_.capacity ? context_.capacity() : DiskCapacityService::Capacity{};
    const std::int64_t total = std::max<std::int64_t>(volume.total, 0), available = std::max<std::int64_t>(volume.available, 0);
    const std::int64_t used = volume.used(), reserved = volume.reserved();
    const double usedFraction = total >= 1 ? double(used) / double(total) : 0;
    donut_->setSegments({{double(used), DS::amber}, {double(reserved), DS::gray}, {double(available), DS::track}});
    donut_->setTitle(Fmt::percent(usedFraction));
    freeOf_->setText(AppLocalization::format("monitor.freeOf", {ByteFormatting::string(total)}));
    const ValueAndUnit free = ValueAndUnit::split(ByteFormatting::string(available));
    free_->setValue(free.value);
    free_->setUnit(free.unit);
    if (!context_.monitor) return;
    const SystemMonitor& monitor = *context_.monitor;
    activity_->setText(activityText(monitor.disk().readPerSecond, monitor.disk().writePerSecond));
    const SystemMetrics& metrics = monitor.metrics();
    const QString unknown = MonitorText::unknown();
    for (Tile& tile : tiles_) {
        switch (tile.tab) {
        case PanelTab::cpu:
            tile.value->setText(monitor.measured().cpu ? Fmt::percent(metrics.cpuUsage) : unknown);
            tile.bars->setValues(MonitorContent::values(monitor.cpuHistory()));
            break;
        case PanelTab::memory:
            tile.value->setText(Fmt::percent(double(metrics.memoryUsed) / std::max(double(metrics.memoryTotal), 1.0)));
            tile.bars->setValues(MonitorContent::values(monitor.memoryHistory()));
            break;
        default:
            tile.value->setText(monitor.measured().network ? MonitorText::rate(metrics.networkDownPerSecond) : unknown);
            tile.bars->setValues(MonitorContent::values(monitor.downloadHistory()));
            break;
        }
    }
}
