#include "Views/Monitor/DiskPage.h"

#include "Models/AppLocalization.h"
#include "Services/AppRankings.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/Monitor/AppList.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/TopAppTile.h"
#include "Views/Monitor/TrendHero.h"
#include "Views/Overview/CapacityBar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

using MonitorText::text;

}  // namespace

DiskPage::DiskPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new TrendHero(DS::amber, std::nullopt);
    stack->addWidget(hero_);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    reading_ = new StatTile(text("monitor.reading"), QStringLiteral("arrow.down"), DS::amber, {});
    writing_ = new StatTile(text("monitor.writing"), QStringLiteral("arrow.up"), DS::amber, {});
    usedBar_ = new CapacityBar(5);
    used_ = new StatTile(text("monitor.used"), QStringLiteral("internaldrive"), DS::amber, {}, usedBar_);
    topApp_ = new TopAppTile(DS::amber);
    for (QWidget* tile : std::initializer_list<QWidget*>{reading_, writing_, used_, topApp_}) row->addWidget(tile, 1);
    stack->addLayout(row);

    list_ = new AppList(text("monitor.column.writing"), DS::amber);
    stack->addWidget(list_);
    stack->addStretch(1);
    refresh();
}

void DiskPage::refresh() {
    const SystemMonitor& m = monitor();
    const MeasuredFigures& measured = m.measured();
    const DiskIO& disk = m.disk();
    const DiskCapacityService::Capacity& volume = m.capacity();
    using MonitorText::known;

    // An unreadable volume reads as 0 of 0: that is no capacity, not an empty disk.
    const bool volumeKnown = volume.total > 0;
    const std::int64_t used = volume.used();
    const std::int64_t reserved = volume.reserved();
    const ValueAndUnit available = volumeKnown ? ValueAndUnit::split(MonitorText::bytes(volume.available)) : ValueAndUnit{MonitorText::unknown(), {}};
    // Free, used and the blocks kept for root add up to the whole, as on the overview.
    std::vector<std::pair<QString, QString>> rows{{text("monitor.used"), known(volumeKnown, MonitorText::bytes(used))}};
    if (reserved > 0) rows.emplace_back(text("storage.reserved"), MonitorText::bytes(reserved));
    rows.emplace_back(text("monitor.writtenSession"), known(measured.diskSession, MonitorText::bytes(disk.sessionWritten)));
    hero_->setFigures({AppLocalization::format("monitor.freeOf", {known(volumeKnown, MonitorText::bytes(volume.total))}),
                       available.value, available.unit, std::nullopt, std::move(rows)});
    hero_->setPoints(m.diskWriteHistory());

    reading_->setValue(known(measured.disk, MonitorText::rate(disk.readPerSecond)));
    writing_->setValue(known(measured.disk, MonitorText::rate(disk.writePerSecond)));
    used_->setValue(known(volumeKnown, MonitorText::bytes(used)));
    usedBar_->setFigures(nullptr, volume.total, volume.available, reserved);

    // Write rates need two passes over the processes; before that there is no ranking to show.
    const std::vector<AppUsage> ranked = measured.appRates ? AppRankings::byWrite(m.apps()) : std::vector<AppUsage>{};
    auto writes = [](const AppUsage& app) { return MonitorText::rate(app.diskWritePerSecond); };
    if (ranked.empty())
        topApp_->setApp(std::nullopt, std::nullopt);
    else
        topApp_->setApp(ranked.front(), writes(ranked.front()));
    list_->setApps(
        ranked,
        [](const AppUsage& app, const AppUsage& top) { return double(app.diskWritePerSecond) / std::max(double(top.diskWritePerSecond), 1.0); },
        writes);
}
