#include "Views/Monitor/MonitorOverviewPage.h"

#include "Models/AppLocalization.h"
#include "Platform/SystemUptime.h"
#include "Services/AppRankings.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/Monitor/BreakdownCard.h"
#include "Views/Monitor/DomainCard.h"
#include "Views/Monitor/MemoryByTypeCard.h"
#include "Views/Monitor/MemoryPressureBadge.h"
#include "Views/Monitor/MonitorContent.h"
#include "Views/Monitor/MonitorText.h"

#include <QGridLayout>

#include <algorithm>
#include <limits>

namespace {

using MonitorText::text;

StatItem stat(const QString& label, const QString& value, std::optional<DynamicColor> dot = std::nullopt) { return {label, value, dot}; }

std::uint64_t saturatedSum(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

// A summed quantity cut to whole bytes, capped at the largest signed count.
QString bytesOfQuantity(double quantity) {
    if (!(quantity > 0)) return MonitorText::bytes(std::int64_t(0));
    if (quantity >= 9223372036854775807.0) return MonitorText::bytes(std::numeric_limits<std::int64_t>::max());
    return MonitorText::bytes(static_cast<std::int64_t>(quantity));
}

}  // namespace

MonitorOverviewPage::MonitorOverviewPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    auto open = [this](MonitorTab tab) { return [this, tab] { select(tab); }; };
    processor_ = new DomainCard(text("monitor.tab.cpu"), QStringLiteral("cpu"), DS::blue, open(MonitorTab::cpu), 1.0);
    memory_ = new DomainCard(text("monitor.tab.memory"), QStringLiteral("memorychip"), DS::purple, open(MonitorTab::memory), 1.0);
    systemOrBattery_ = new DomainCard(text("monitor.uptime"), QStringLiteral("clock"), DS::green, {}, 1.0);
    disk_ = new DomainCard(text("monitor.tab.disk"), QStringLiteral("internaldrive"), DS::amber, open(MonitorTab::disk), std::nullopt);
    network_ = new DomainCard(text("monitor.tab.network"), QStringLiteral("globe"), DS::teal, open(MonitorTab::network), std::nullopt);
    load_ = new DomainCard(text("monitor.loadAverage"), QStringLiteral("gauge.with.dots.needle.50percent"), DS::cyan, open(MonitorTab::cpu),
                           std::nullopt);
    memoryByType_ = new MemoryByTypeCard(open(MonitorTab::memory));
    memoryByApp_ = new BreakdownCard(text("monitor.memoryByApp"), QStringLiteral("square.grid.2x2"), DS::purple,
                                     [](const AppUsage& app) { return double(app.memory); }, bytesOfQuantity);
    cpuByApp_ = new BreakdownCard(text("monitor.cpuByApp"), QStringLiteral("bolt"), DS::blue, [](const AppUsage& app) { return app.cpu; },
                                  [](double share) { return Fmt::percent(share); });

    auto* cards = new QGridLayout;
    cards->setSpacing(16);
    const std::vector<QWidget*> first{processor_, memory_, systemOrBattery_, disk_, network_, load_};
    for (size_t index = 0; index < first.size(); ++index) cards->addWidget(first[index], int(index / 3), int(index % 3));
    auto* breakdowns = new QGridLayout;
    breakdowns->setSpacing(16);
    breakdowns->addWidget(memoryByType_, 0, 0);
    breakdowns->addWidget(memoryByApp_, 0, 1);
    breakdowns->addWidget(cpuByApp_, 0, 2);
    for (QGridLayout* grid : {cards, breakdowns})
        for (int column = 0; column < 3; ++column) grid->setColumnStretch(column, 1);
    stack->addLayout(cards);
    stack->addLayout(breakdowns);
    stack->addStretch(1);
    refresh();
}

void MonitorOverviewPage::refresh() {
    const SystemMonitor& m = monitor();
    const QString uptime = MonitorText::uptime(SystemUptime::seconds(SystemRoots::current()));
    const MeasuredFigures& measured = m.measured();
    const SystemMetrics& metrics = m.metrics();
    const CPUDetail& cpu = m.cpu();
    using MonitorText::known;

    processor_->setFigures({text("monitor.now"), known(measured.cpu, MonitorText::wholePercent(metrics.cpuUsage)), measured.cpu ? MonitorText::percentSign() : QString(),
                            std::nullopt,
                            {stat(text("monitor.user"), known(measured.cpu, Fmt::percent(cpu.user))),
                             stat(text("monitor.system"), known(measured.cpu, Fmt::percent(cpu.system))),
                             stat(text("monitor.sessionAverage"), known(measured.cpuSession, Fmt::percent(cpu.sessionAverage)))},
                            MonitorContent::values(m.cpuHistory())});

    const ValueAndUnit used = measured.memory ? ValueAndUnit::split(MonitorText::bytes(metrics.memoryUsed)) : ValueAndUnit{MonitorText::unknown(), {}};
    const MemoryDetail& memory = m.memory();
    memory_->setFigures({AppLocalization::format("monitor.inUseOf", {
                                                                         known(metrics.memoryTotal > 0, MonitorText::bytes(metrics.memoryTotal))}),
                         used.value, used.unit,
                         measured.memory ? std::optional(memoryPressureBadge(memory.pressure)) : std::nullopt,
                         {stat(text("monitor.app"), known(measured.memory, MonitorText::bytes(memory.app)), DS::blue),
                          stat(text("monitor.wired"), known(measured.memory, MonitorText::bytes(memory.wired)), DS::orange),
                          stat(text("monitor.compressed"), known(measured.memory, MonitorText::bytes(memory.compressed)), DS::green)},
                         MonitorContent::values(m.memoryHistory())});

    refreshSystemOrBattery(uptime);

    // An unreadable volume reads as 0 of 0: that is no capacity, not an empty disk.
    const DiskCapacityService::Capacity& volume = m.capacity();
    const bool volumeKnown = volume.total > 0;
    const ValueAndUnit available = volumeKnown ? ValueAndUnit::split(MonitorText::bytes(volume.available)) : ValueAndUnit{MonitorText::unknown(), {}};
    const DiskIO& diskIO = m.disk();
    const std::vector<double> reads = MonitorContent::values(m.diskReadHistory());
    std::vector<double> traffic = MonitorContent::values(m.diskWriteHistory());
    traffic.resize(std::min(traffic.size(), reads.size()));
    for (size_t index = 0; index < traffic.size(); ++index) traffic[index] += reads[index];
    disk_->setFigures({AppLocalization::format("monitor.freeOf", {known(volumeKnown, MonitorText::bytes(volume.total))}),
                       available.value, available.unit, std::nullopt,
                       {stat(text("monitor.reading"), known(measured.disk, MonitorText::rate(diskIO.readPerSecond))),
                        stat(text("monitor.writing"), known(measured.disk, MonitorText::rate(diskIO.writePerSecond))),
                        stat(text("monitor.writtenSession"), known(measured.diskSession, MonitorText::bytes(diskIO.sessionWritten)))},
                       traffic});

    const ValueAndUnit down = measured.network ? ValueAndUnit::split(MonitorText::bytes(metrics.networkDownPerSecond)) : ValueAndUnit{MonitorText::unknown(), {}};
    const NetworkSession& network = m.network();
    network_->setFigures({text("monitor.downloading"), down.value, measured.network ? down.unit + "/s" : QString(), std::nullopt,
                          {stat(text("monitor.uploading"), known(measured.network, MonitorText::rate(metrics.networkUpPerSecond))),
                           stat(text("monitor.downloadedSession"), known(measured.networkSession, MonitorText::bytes(network.downloaded))),
                           stat(text("monitor.uploadedSession"), known(measured.networkSession, MonitorText::bytes(network.uploaded)))},
                          MonitorContent::values(m.networkHistory())});

    // The load line is in cores, not in a fraction of the machine.
    std::vector<double> coresBusy = MonitorContent::values(m.cpuHistory());
    const double cores = std::max(cpu.logicalCores, 1);
    for (double& value : coresBusy) value *= cores;
    const bool hasApps = !m.apps().empty();
    load_->setFigures({text("monitor.uptime") + " " + uptime,
                       known(measured.loadAverage, MonitorText::loadAverage(cpu.loadAverage)),
                       {},
                       std::nullopt,
                       {stat(text("monitor.cores"), AppLocalization::activeLocale().toString(cpu.logicalCores)),
                        stat(text("monitor.processes"), known(hasApps, MonitorText::count(MonitorContent::processCount(m.apps())))),
                        stat(text("monitor.peak"), known(measured.cpuSession, Fmt::percent(cpu.sessionPeak)))},
                       coresBusy});

    memoryByType_->setMemory(memory, metrics.memoryUsed, metrics.memoryTotal, measured.memory);

    std::uint64_t appMemory = 0;
    for (const AppUsage& app : m.apps()) appMemory = saturatedSum(appMemory, app.memory);
    // The applications share what is in use: pages two of them share count in both.
    if (metrics.memoryUsed > 0) appMemory = std::min(appMemory, metrics.memoryUsed);
    memoryByApp_->setApps(AppRankings::byMemory(m.apps()), MonitorText::known(hasApps, MonitorText::bytes(appMemory)));
    cpuByApp_->setApps(measured.appRates ? AppRankings::byCPU(m.apps()) : std::vector<AppUsage>{},
                       known(measured.cpu, Fmt::percent(metrics.cpuUsage)));
}

void MonitorOverviewPage::refreshSystemOrBattery(const QString& uptime) {
    const SystemMonitor& m = monitor();
    const SystemMetrics& metrics = m.metrics();
    const BatteryDetail& battery = m.battery();
    const bool showsBattery = metrics.batteryPercent.has_value();
    if (showsBattery != showsBattery_) {
        showsBattery_ = showsBattery;
        if (showsBattery)
            systemOrBattery_->setHeader(text("monitor.tab.battery"), QStringLiteral("battery.75percent"), [this] { select(MonitorTab::battery); });
        else
            systemOrBattery_->setHeader(text("monitor.uptime"), QStringLiteral("clock"), {});
    }
    if (showsBattery) {
        systemOrBattery_->setFigures({MonitorText::batteryStatus(metrics, battery), MonitorText::wholePercent(*metrics.batteryPercent), MonitorText::percentSign(),
                                      std::nullopt,
                                      {stat(text("monitor.remaining"), MonitorText::remaining(battery.minutesRemaining)),
                                       stat(text("monitor.powerDraw"), MonitorText::watts(battery.watts)),
                                       stat(text("monitor.health"), battery.health ? Fmt::percent(*battery.health) : MonitorText::unknown())},
                                      MonitorContent::values(m.batteryHistory())});
        return;
    }
    long long applications = 0;
    for (const AppUsage& app : m.apps())
        if (app.id.ends_with(".desktop")) ++applications;
    const bool hasApps = !m.apps().empty();
    systemOrBattery_->setFigures({text("monitor.desktop"), uptime, {}, std::nullopt,
                                  {stat(text("monitor.apps"), MonitorText::known(hasApps, MonitorText::count(applications))),
                                   stat(text("monitor.processes"), MonitorText::known(hasApps, MonitorText::count(MonitorContent::processCount(m.apps())))),
                                   stat(text("monitor.swap"), MonitorText::known(m.measured().memory, MonitorText::bytes(m.memory().swapUsed)))},
                                  MonitorContent::values(m.memoryHistory())});
}
