#include "Views/Monitor/ProcessorPage.h"

#include "Models/AppLocalization.h"
#include "Services/AppRankings.h"
#include "Services/SystemMonitor.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Monitor/AppList.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/TopAppTile.h"
#include "Views/Monitor/TrendHero.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

using MonitorText::text;

TextLabel* footnote(const QString& note) { return new TextLabel(note, Fonts::system(13), DynamicColor::secondary()); }

}  // namespace

ProcessorPage::ProcessorPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new TrendHero(DS::blue, AreaTrend::Range{0, 1});
    stack->addWidget(hero_);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    user_ = new StatTile(text("monitor.user"), QStringLiteral("cpu"), DS::blue, {}, footnote(text("monitor.yourApps")));
    // The kernel's share: the name of the system, not a text to translate.
    system_ = new StatTile(text("monitor.system"), QStringLiteral("cpu"), DS::blue, {}, footnote(QStringLiteral("Linux")));
    auto* pills = new QWidget;
    auto* pillRow = new QHBoxLayout(pills);
    pillRow->setContentsMargins(0, 0, 0, 0);
    pillRow->setSpacing(6);
    performance_ = new Pill({}, {}, DS::blue);
    efficiency_ = new Pill({}, {}, DS::blue);
    pillRow->addWidget(performance_);
    pillRow->addWidget(efficiency_);
    pillRow->addStretch(1);
    cores_ = new StatTile(text("monitor.cores"), QStringLiteral("bolt"), DS::blue, {}, pills);
    topApp_ = new TopAppTile(DS::blue);
    for (QWidget* tile : std::initializer_list<QWidget*>{user_, system_, cores_, topApp_}) tiles->addWidget(tile, 1);
    stack->addLayout(tiles);

    list_ = new AppList(text("monitor.column.cpu"), DS::blue);
    stack->addWidget(list_);
    stack->addStretch(1);
    refresh();
}

void ProcessorPage::refresh() {
    const SystemMonitor& m = monitor();
    const MeasuredFigures& measured = m.measured();
    const CPUDetail& cpu = m.cpu();
    using MonitorText::known;

    hero_->setFigures({text("monitor.now"), known(measured.cpu, MonitorText::wholePercent(m.metrics().cpuUsage)), measured.cpu ? MonitorText::percentSign() : QString(),
                       std::nullopt,
                       {{text("monitor.sessionAverage"), known(measured.cpuSession, Fmt::percent(cpu.sessionAverage))},
                        {text("monitor.load"), known(measured.loadAverage, MonitorText::loadAverage(cpu.loadAverage))}}});
    hero_->setPoints(m.cpuHistory());

    user_->setValue(known(measured.cpu, Fmt::percent(cpu.user)));
    system_->setValue(known(measured.cpu, Fmt::percent(cpu.system)));
    cores_->setValue(AppLocalization::activeLocale().toString(cpu.logicalCores));
    performance_->setText(AppLocalization::format("monitor.pCores", {cpu.performanceCores}));
    performance_->setVisible(cpu.performanceCores >= 1);
    efficiency_->setText(AppLocalization::format("monitor.eCores", {cpu.efficiencyCores}));
    efficiency_->setVisible(cpu.efficiencyCores >= 1);

    // Shares need two passes over the processes; before that every share would read zero and the
    // ranking would be no ranking: the tile and the list keep gathering.
    const std::vector<AppUsage> ranked = measured.appRates ? AppRankings::byCPU(m.apps()) : std::vector<AppUsage>{};
    auto share = [](const AppUsage& app) { return Fmt::finePercent(app.cpu); };
    if (ranked.empty())
        topApp_->setApp(std::nullopt, std::nullopt);
    else
        topApp_->setApp(ranked.front(), share(ranked.front()));
    list_->setApps(ranked, [](const AppUsage& app, const AppUsage& top) { return app.cpu / std::max(top.cpu, 0.0001); }, share);
}
