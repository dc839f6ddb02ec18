#include "Views/Monitor/MemoryPage.h"

#include "Models/AppLocalization.h"
#include "Services/AppRankings.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Monitor/AppList.h"
#include "Views/Monitor/MemoryPressureBadge.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/TopAppTile.h"
#include "Views/Monitor/TrendHero.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

using MonitorText::text;

}  // namespace

MemoryPage::MemoryPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new TrendHero(DS::purple, AreaTrend::Range{0, 1});
    stack->addWidget(hero_);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    tiles_[0] = memoryTile(text("monitor.app"), QStringLiteral("square.grid.2x2"));
    tiles_[1] = memoryTile(text("monitor.wired"), QStringLiteral("lock"));
    tiles_[2] = memoryTile(text("monitor.compressed"), QStringLiteral("memorychip"));
    for (const MemoryTile& tile : tiles_) row->addWidget(tile.tile, 1);
    topApp_ = new TopAppTile(DS::purple);
    row->addWidget(topApp_, 1);
    stack->addLayout(row);

    list_ = new AppList(text("monitor.column.memory"), DS::purple);
    stack->addWidget(list_);
    stack->addStretch(1);
    refresh();
}

MemoryPage::MemoryTile MemoryPage::memoryTile(const QString& title, const QString& symbol) {
    auto* bar = new ThinBar(0, DS::purple, 5);
    return {new StatTile(title, symbol, DS::purple, {}, bar), bar};
}

void MemoryPage::setTile(const MemoryTile& tile, std::uint64_t bytes, bool known) {
    const std::uint64_t total = monitor().metrics().memoryTotal;
    tile.tile->setValue(MonitorText::known(known, MonitorText::bytes(bytes)));
    tile.bar->setFraction(known ? double(bytes) / double(std::max<std::uint64_t>(total, 1)) : 0.0);
}

void MemoryPage::refresh() {
    const SystemMonitor& m = monitor();
    const bool known = m.measured().memory;
    const SystemMetrics& metrics = m.metrics();
    const MemoryDetail& memory = m.memory();
    using MonitorText::bytes;

    const ValueAndUnit used = known ? ValueAndUnit::split(bytes(metrics.memoryUsed)) : ValueAndUnit{MonitorText::unknown(), {}};
    hero_->setFigures({AppLocalization::format("monitor.inUseOf",
                                               {MonitorText::known(metrics.memoryTotal > 0, bytes(metrics.memoryTotal))}),
                       used.value, used.unit, known ? std::optional(memoryPressureBadge(memory.pressure)) : std::nullopt,
                       {{text("monitor.free"), MonitorText::known(known, bytes(memory.free))},
                        {text("monitor.swap"), MonitorText::known(known, bytes(memory.swapUsed))}}});
    hero_->setPoints(m.memoryHistory());

    setTile(tiles_[0], memory.app, known);
    setTile(tiles_[1], memory.wired, known);
    setTile(tiles_[2], memory.compressed, known);

    const std::vector<AppUsage> ranked = AppRankings::byMemory(m.apps());
    auto size = [](const AppUsage& app) { return MonitorText::bytes(app.memory); };
    if (ranked.empty())
        topApp_->setApp(std::nullopt, std::nullopt);
    else
        topApp_->setApp(ranked.front(), size(ranked.front()));
    list_->setApps(
        ranked, [](const AppUsage& app, const AppUsage& top) { return double(app.memory) / std::max(double(top.memory), 1.0); }, size);
}
