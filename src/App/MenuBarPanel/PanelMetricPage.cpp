#include "App/MenuBarPanel/PanelMetricPage.h"

#include "App/MenuBarPanel/PanelTopApps.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppRankings.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/FigureAndUnit.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Monitor/MonitorText.h"

#include <QHBoxLayout>
#include <QVBoxLayout>


namespace {

constexpr std::size_t topAppCount = 5;

using MonitorText::bytes;
using MonitorText::rate;
using MonitorText::wholePercent;

std::vector<AppUsage> head(std::vector<AppUsage> apps) {
    if (apps.size() > topAppCount) apps.resize(topAppCount);
    return apps;
}

}  // namespace

PanelMetricPage::Figures PanelMetricPage::figures(PanelTab tab, const SystemMonitor& monitor, const DiskCapacityService::Capacity& startupVolume) {
    const SystemMetrics& metrics = monitor.metrics();
    const MeasuredFigures& measured = monitor.measured();
    const QString unknown = MonitorText::unknown();
    Figures figures;
    switch (tab) {
    case PanelTab::cpu:
        figures.value = measured.cpu ? wholePercent(metrics.cpuUsage) : unknown;
        figures.unit = measured.cpu ? MonitorText::percentSign() : QString();
        figures.caption = DisplayText::name(QString::fromStdString(monitor.cpu().chipName));
        figures.points = monitor.cpuHistory();
        figures.domain = AreaTrend::Range{0, 1};
        figures.rows = {{"monitor.user", measured.cpu ? Fmt::percent(monitor.cpu().user) : unknown},
                        {"monitor.system", measured.cpu ? Fmt::percent(monitor.cpu().system) : unknown},
                        {"monitor.loadAverage", MonitorText::known(measured.loadAverage, MonitorText::loadAverage(monitor.cpu().loadAverage))}};
        break;
    case PanelTab::memory: {
        const ValueAndUnit used = ValueAndUnit::split(bytes(metrics.memoryUsed));
        figures.value = measured.memory ? used.value : unknown;
        figures.unit = measured.memory ? used.unit : QString();
        figures.caption = AppLocalization::format("monitor.inUseOf", {bytes(metrics.memoryTotal)});
        figures.points = monitor.memoryHistory();
        figures.domain = AreaTrend::Range{0, 1};
        const MemoryDetail& memory = monitor.memory();
        figures.rows = {{"monitor.app", bytes(memory.app)}, {"monitor.wired", bytes(memory.wired)}, {"monitor.compressed", bytes(memory.compressed)}};
        break;
    }
    case PanelTab::disk: {
        const ValueAndUnit available = ValueAndUnit::split(bytes(startupVolume.available));
        figures.value = available.value;
        figures.unit = available.unit;
        figures.caption = AppLocalization::format("monitor.freeOf", {bytes(startupVolume.total)});
        figures.points = monitor.diskWriteHistory();
        const std::int64_t used = startupVolume.used();
        figures.rows = {{"monitor.reading", measured.disk ? rate(monitor.disk().readPerSecond) : unknown},
                        {"monitor.writing", measured.disk ? rate(monitor.disk().writePerSecond) : unknown},
                        {"monitor.used", bytes(used)}};
        break;
    }
    case PanelTab::network: {
        const ValueAndUnit down = ValueAndUnit::split(bytes(metrics.networkDownPerSecond));
        figures.value = measured.network ? down.value : unknown;
        figures.unit = measured.network ? down.unit + QStringLiteral("/s") : QString();
        figures.caption = AppLocalization::string("monitor.downloading");
        figures.points = monitor.downloadHistory();
        figures.rows = {{"monitor.uploading", measured.network ? rate(metrics.networkUpPerSecond) : unknown},
                        {"monitor.downloadedSession", bytes(monitor.network().downloaded)},
                        {"monitor.uploadedSession", bytes(monitor.network().uploaded)}};
        break;
    }
    case PanelTab::battery: {
        const BatteryDetail& battery = monitor.battery();
        figures.value = metrics.batteryPercent ? wholePercent(*metrics.batteryPercent) : unknown;
        figures.unit = metrics.batteryPercent ? MonitorText::percentSign() : QString();
        figures.caption = AppLocalization::string(metrics.isCharging ? "monitor.chargingShort" : "monitor.onBatteryShort");
        figures.points = monitor.batteryHistory();
        figures.domain = AreaTrend::Range{0, 1};
        figures.rows = {{"monitor.powerDraw", MonitorText::watts(battery.watts)},
                        {"monitor.health", battery.health ? Fmt::percent(*battery.health) : unknown},
                        {"monitor.cycles", battery.cycleCount ? AppLocalization::activeLocale().toString(*battery.cycleCount) : unknown}};
        break;
    }
    case PanelTab::overview:
    case PanelTab::projects:
    case PanelTab::docker:
        break;
    }
    return figures;
}

PanelMetricPage::PanelMetricPage(PanelTab tab, const PanelContext& context, QWidget* parent) : PanelPage(parent), tab_(tab), context_(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* heroLine = new QHBoxLayout;
    heroLine->setSpacing(12);
    auto* heroTexts = new QVBoxLayout;
    heroTexts->setSpacing(6);
    hero_ = new FigureAndUnit(Fonts::system(40, QFont::Bold), Fonts::system(18, QFont::Medium), 6, 0.6);
    heroTexts->addWidget(hero_);
    caption_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    heroTexts->addWidget(caption_);
    heroLine->addLayout(heroTexts, 1);
    heroLine->addSpacing(4);
    trend_ = new AreaTrend({}, PanelTabs::tint(tab), std::nullopt, false);
    trend_->setFixedSize(120, 52);
    heroLine->addWidget(trend_);
    page->addLayout(heroLine);
    page->addSpacing(16);

    auto* rows = new QVBoxLayout;
    rows->setSpacing(11);
    for (int i = 0; i < 3; ++i) {
        rows_.push_back(new KeyValueRow({}, {}));
        rows->addWidget(rows_.back());
    }
    page->addLayout(rows);

    const DynamicColor tint = PanelTabs::tint(tab);
    if (tab == PanelTab::cpu)
        topApps_ = new PanelTopApps(tint, [](const AppUsage& app) { return app.cpu; }, [](const AppUsage& app) { return Fmt::finePercent(app.cpu); });
    if (tab == PanelTab::memory)
        topApps_ = new PanelTopApps(tint, [](const AppUsage& app) { return double(app.memory); }, [](const AppUsage& app) { return bytes(app.memory); });
    if (tab == PanelTab::disk)
        topApps_ = new PanelTopApps(tint, [](const AppUsage& app) { return double(app.diskWritePerSecond); },
                                    [](const AppUsage& app) { return rate(app.diskWritePerSecond); });
    if (topApps_) page->addWidget(topApps_);
    refresh();
}

void PanelMetricPage::refresh() {
    if (!context_.monitor) return;
    const SystemMonitor& monitor = *context_.monitor;
    const Figures shown = figures(tab_, monitor, tab_ == PanelTab::disk && context_.capacity ? context_.capacity() : DiskCapacityService::Capacity{});
    hero_->setValue(shown.value);
    hero_->setUnit(shown.unit);
    caption_->setText(shown.caption);
    trend_->setDomain(shown.domain);
    trend_->setPoints(shown.points);
    for (std::size_t i = 0; i < rows_.size() && i < shown.rows.size(); ++i) {
        rows_[i]->setLabel(AppLocalization::string(shown.rows[i].first));
        rows_[i]->setValue(shown.rows[i].second);
    }
    if (!topApps_) return;
    // Shares and write rates need two passes over the processes; before that every row would read
    // zero, so the list keeps gathering. Memory is read whole in the first pass.
    const bool rates = monitor.measured().appRates;
    if (tab_ == PanelTab::cpu) topApps_->setApps(rates ? head(AppRankings::byCPU(monitor.apps())) : std::vector<AppUsage>{});
    if (tab_ == PanelTab::memory) topApps_->setApps(head(AppRankings::byMemory(monitor.apps())));
    if (tab_ == PanelTab::disk) topApps_->setApps(rates ? head(AppRankings::byWrite(monitor.apps())) : std::vector<AppUsage>{});
}
