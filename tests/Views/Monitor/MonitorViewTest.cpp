#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Platform/SettingsStore.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Monitor/AppList.h"
#include "Views/Monitor/BatteryPage.h"
#include "Views/Monitor/BreakdownCard.h"
#include "Views/Monitor/DiskPage.h"
#include "Views/Monitor/DomainCard.h"
#include "Views/Monitor/MemoryPage.h"
#include "Views/Monitor/MonitorContent.h"
#include "Views/Monitor/MonitorOverviewPage.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/MonitorView.h"
#include "Views/Monitor/NetworkPage.h"
#include "Views/Monitor/ProcessorPage.h"
#include "Views/Monitor/TopAppTile.h"
#include "Views/Monitor/TrendHero.h"
#include "Views/Overview/CapacityBar.h"
#include "Views/Projects/ProjectsPage.h"
#include "ViewSupport/MonitorFixture.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString dash = QString(QChar(0x2014));

using MonitorText::text;

// The value shown under a stat's label in a card.
QString stat(const QWidget* card, const char* key) {
    const auto labels = card->findChildren<TextLabel*>();
    for (qsizetype index = 0; index + 1 < labels.size(); ++index)
        if (labels[index]->text() == text(key)) return labels[index + 1]->text();
    return QStringLiteral("<no %1>").arg(QString::fromLatin1(key));
}

QString heroValue(const DomainCard* card) { return card->hero()->valueLabel()->text(); }

// Lets the queued refresh that a sample asks for run.
void runPendingEvents() { QCoreApplication::processEvents(); }

template <typename Page>
Page* page(MonitorContent& content) {
    auto* shown = dynamic_cast<Page*>(content.page());
    EXPECT_NE(shown, nullptr);
    return shown;
}

}  // namespace

TEST(MonitorText, FiguresAndUnknowns) {
    EXPECT_EQ(MonitorText::wholePercent(0.125), "13");
    EXPECT_EQ(MonitorText::wholePercent(0.124), "12");
    EXPECT_EQ(MonitorText::wholePercent(1.0), "100");
    EXPECT_EQ(MonitorText::unknown(), dash);
    EXPECT_EQ(MonitorText::watts(std::nullopt), dash);
    EXPECT_EQ(MonitorText::watts(12.34), QLocale::system().toString(12.3, 'f', 1) + " W");
    EXPECT_EQ(MonitorText::watts(0), QLocale::system().toString(0.0, 'f', 1) + " W");
    EXPECT_EQ(MonitorText::loadAverage(3.14159), QLocale::system().toString(3.14, 'f', 2));
    EXPECT_EQ(MonitorText::remaining(std::nullopt), dash);
    EXPECT_EQ(MonitorText::remaining(135), "2h 15m");
    EXPECT_EQ(MonitorText::uptime(std::nullopt), dash);
    EXPECT_EQ(MonitorText::uptime(3 * 86400 + 4 * 3600 + 59 * 60), "3d 4h");  // two units at most
    EXPECT_EQ(MonitorText::uptime(30), "0m");
    EXPECT_EQ(MonitorText::bytes(std::numeric_limits<std::uint64_t>::max()), ByteFormatting::string(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(MonitorText::rate(0), ByteFormatting::string(std::int64_t(0)) + "/s");

    SystemMetrics metrics;
    BatteryDetail battery;
    EXPECT_EQ(MonitorText::batteryStatus(metrics, battery), text("monitor.onBatteryShort"));
    battery.isExternalPower = true;  // the detail has seen the cable before the sample
    EXPECT_EQ(MonitorText::batteryStatus(metrics, battery), text("monitor.pluggedIn"));
    metrics.isCharging = true;
    EXPECT_EQ(MonitorText::batteryStatus(metrics, battery), text("monitor.chargingShort"));
}

TEST(MonitorContent, ProcessCountAndValues) {
    EXPECT_EQ(MonitorContent::processCount({}), 0);
    AppUsage a, b;
    a.processCount = 3;
    b.processCount = 4;
    EXPECT_EQ(MonitorContent::processCount({a, b}), 7);
    EXPECT_TRUE(MonitorContent::values({}).empty());
    EXPECT_EQ(MonitorContent::values({MetricPoint{Uuid::random(), Instant(), 0.5}, MetricPoint{Uuid::random(), Instant(), 2}}),
              (std::vector<double>{0.5, 2}));
}

TEST(BreakdownCard, FourLargestThenTheRest) {
    auto memory = [](const AppUsage& app) { return double(app.memory); };
    const auto palette = BreakdownCard::palette(DS::purple);
    std::vector<AppUsage> apps(6);
    for (size_t i = 0; i < apps.size(); ++i) apps[i].memory = 600 - i * 100;
    const auto ring = BreakdownCard::segments(apps, memory, palette);
    ASSERT_EQ(ring.size(), 5u);
    EXPECT_EQ(ring[0].value, 600);
    EXPECT_EQ(ring[3].color, palette[3]);
    EXPECT_EQ(ring[4].value, 200 + 100);  // the fifth and sixth
    // No rows: only the rest, of nothing, so only the track is drawn.
    const auto none = BreakdownCard::segments({}, memory, palette);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].value, 0);
    // Two rows: the rest is still there, of nothing.
    EXPECT_EQ(BreakdownCard::segments({apps[0], apps[1]}, memory, palette).back().value, 0);
}

// A process may name itself anything: "yy\u202Egnp.exe" must not read "yyexe.png".
TEST(TopAppTile, AProgramNameShowsItsReorderingControls) {
    TopAppTile tile(DS::blue);
    AppUsage app;
    app.id = app.name = "yy\u202Egnp.exe";
    tile.setApp(app, QStringLiteral("12%"));
    EXPECT_EQ(tile.nameLabel()->text(), "yy[U+202E]gnp.exe");
}

TEST(MonitorScreen, UnknownFiguresReadAsADashUntilMeasured) {
    MonitorFixture machine;
    machine.capacity = {};  // a volume that could not be read
    machine.start();  // one sample: a baseline only
    MonitorContent content(machine.monitor());
    auto* overview = page<MonitorOverviewPage>(content);
    EXPECT_EQ(heroValue(overview->processorCard()), dash);
    EXPECT_TRUE(overview->processorCard()->hero()->unitLabel()->isHidden() || overview->processorCard()->hero()->unitLabel()->text().isEmpty());
    EXPECT_EQ(stat(overview->processorCard(), "monitor.user"), dash);
    EXPECT_EQ(stat(overview->processorCard(), "monitor.sessionAverage"), dash);
    EXPECT_EQ(heroValue(overview->networkCard()), dash);
    EXPECT_EQ(stat(overview->networkCard(), "monitor.downloadedSession"), dash);
    EXPECT_EQ(stat(overview->diskCard(), "monitor.reading"), dash);
    EXPECT_EQ(heroValue(overview->diskCard()), dash);  // not "0 KB" free
    EXPECT_EQ(overview->diskCard()->hero()->findChildren<TextLabel*>().first()->text(), AppLocalization::format("monitor.freeOf", {dash}));
    // Memory was read: it is known at once. Per-application shares are not.
    EXPECT_NE(heroValue(overview->memoryCard()), dash);
    EXPECT_TRUE(overview->cpuByAppCard()->isGathering());
    EXPECT_FALSE(overview->memoryByAppCard()->isGathering());

    content.setTab(MonitorTab::cpu);
    auto* cpu = page<ProcessorPage>(content);
    EXPECT_EQ(cpu->hero()->hero()->valueLabel()->text(), dash);
    EXPECT_TRUE(cpu->list()->isGathering());
    EXPECT_EQ(cpu->topApp()->valueLabel()->text(), dash);
    content.setTab(MonitorTab::disk);
    auto* disk = page<DiskPage>(content);
    EXPECT_EQ(disk->usedTile()->valueLabel()->text(), dash);
    EXPECT_EQ(disk->hero()->rowValue(text("monitor.used")), dash);

    // A second later everything is measured.
    machine.step();
    runPendingEvents();
    content.setTab(MonitorTab::overview);
    overview = page<MonitorOverviewPage>(content);
    const SystemMonitor& monitor = machine.monitor();
    EXPECT_EQ(heroValue(overview->processorCard()), MonitorText::wholePercent(monitor.metrics().cpuUsage));
    EXPECT_EQ(stat(overview->processorCard(), "monitor.user"), Fmt::percent(monitor.cpu().user));
    EXPECT_EQ(stat(overview->networkCard(), "monitor.uploading"), MonitorText::rate(monitor.metrics().networkUpPerSecond));
    EXPECT_NE(stat(overview->networkCard(), "monitor.uploading"), dash);

    // Counters that can no longer be read are unknown again, not zero.
    machine.networkReadable = false;
    machine.step();
    runPendingEvents();
    EXPECT_EQ(heroValue(overview->networkCard()), dash);
    EXPECT_EQ(stat(overview->networkCard(), "monitor.uploading"), dash);
    EXPECT_NE(stat(overview->networkCard(), "monitor.downloadedSession"), dash);  // the session's totals stay
}

TEST(MonitorScreen, PagesShowTheSampleAndTheRankings) {
    MonitorFixture machine;
    machine.start();
    machine.step(3);
    MonitorContent content(machine.monitor());
    const SystemMonitor& monitor = machine.monitor();

    auto* overview = page<MonitorOverviewPage>(content);
    // A desktop: uptime, two installed applications among seven processes, swap in use.
    EXPECT_EQ(overview->systemOrBatteryCard()->header()->chevron()->isHidden(), true);
    EXPECT_EQ(heroValue(overview->systemOrBatteryCard()), "3d 4h");
    EXPECT_EQ(stat(overview->systemOrBatteryCard(), "monitor.apps"), "2");
    EXPECT_EQ(stat(overview->systemOrBatteryCard(), "monitor.processes"), "7");
    EXPECT_EQ(stat(overview->systemOrBatteryCard(), "monitor.swap"), ByteFormatting::string(std::uint64_t(900000) * 1024));
    EXPECT_EQ(stat(overview->loadCard(), "monitor.cores"), QString::number(monitor.cpu().logicalCores));
    const auto legend = overview->memoryByAppCard()->visibleLegend();
    ASSERT_EQ(legend.size(), 5u);  // four applications and the rest
    // The ring's middle holds what the applications hold together, never more than is in use.
    auto ringMiddle = [&] {
        QStringList texts;
        for (const TextLabel* label : overview->memoryByAppCard()->findChild<DonutChart*>()->findChildren<TextLabel*>()) texts << label->text();
        return texts;
    };
    std::uint64_t held = 0;
    for (const AppUsage& app : monitor.apps()) held += app.memory;
    EXPECT_TRUE(ringMiddle().contains(MonitorText::bytes(held))) << ringMiddle().join(" | ").toStdString();
    machine.machine.write("proc/meminfo", "MemTotal: 2000000 kB\nMemFree: 500000 kB\nBuffers: 0 kB\nCached: 0 kB\nAnonPages: 1000000 kB\n");
    machine.step(2);
    runPendingEvents();
    ASSERT_LT(monitor.metrics().memoryUsed, held);
    EXPECT_TRUE(ringMiddle().contains(MonitorText::bytes(monitor.metrics().memoryUsed))) << ringMiddle().join(" | ").toStdString();

    content.setTab(MonitorTab::memory);
    auto* memory = page<MemoryPage>(content);
    const auto rows = memory->list()->visibleRows();
    ASSERT_EQ(rows.size(), 6u);  // seven processes, six applications
    EXPECT_TRUE(rows[0]->isHighlighted());
    EXPECT_FALSE(rows[1]->isHighlighted());
    EXPECT_EQ(memory->topApp()->nameLabel()->text(), "Firefox");
    // The tile shows the placeholder badge exactly where the list row shows one.
    EXPECT_EQ(memory->topApp()->showsPlaceholder(), !rows[0]->showsIcon());
    EXPECT_EQ(memory->hero()->badge()->text(), text("monitor.pressure.normal"));
    EXPECT_EQ(memory->hero()->rowValue(text("monitor.free")), ByteFormatting::string(monitor.memory().free));

    content.setTab(MonitorTab::cpu);
    auto* cpu = page<ProcessorPage>(content);
    EXPECT_EQ(cpu->list()->visibleRows().size(), 6u);
    EXPECT_EQ(cpu->topApp()->nameLabel()->text(), "Firefox");  // 62 ticks a second over its two processes
    EXPECT_EQ(cpu->systemTile()->findChildren<TextLabel*>().last()->text(), "Linux");
    EXPECT_FALSE(cpu->performancePill()->isVisibleTo(cpu));  // no performance levels on this machine

    content.setTab(MonitorTab::disk);
    auto* disk = page<DiskPage>(content);
    EXPECT_EQ(disk->hero()->hero()->valueLabel()->text() + " " + disk->hero()->hero()->unitLabel()->text(),
              ByteFormatting::string(std::int64_t(180'000'000'000)).replace(QChar(0x00A0), ' '));
    EXPECT_EQ(disk->usedTile()->valueLabel()->text(), ByteFormatting::string(std::int64_t(306'400'000'000)));
    EXPECT_EQ(disk->topApp()->nameLabel()->text(), "Firefox");  // 300 kB a second

    content.setTab(MonitorTab::network);
    auto* network = page<NetworkPage>(content);
    EXPECT_EQ(network->uploadTile()->valueLabel()->text(), MonitorText::rate(monitor.metrics().networkUpPerSecond));
    EXPECT_EQ(network->hero()->hero()->unitLabel()->text().right(2), "/s");

    content.setTab(MonitorTab::battery);
    auto* battery = page<BatteryPage>(content);
    EXPECT_TRUE(battery->showsDesktopNote());

    content.setTab(MonitorTab::projects);
    EXPECT_EQ(content.page(), nullptr);
    EXPECT_NE(dynamic_cast<ProjectsPage*>(content.shownPage()), nullptr);
}

// The start-up volume is read at every sample: as the disk fills and empties, the overview's card and
// the disk page show what is free within that sample, and the page keeps the blocks kept for root
// apart from the used space, in its bar and its rows, as the overview's storage card does.
TEST(MonitorScreen, TheDiskFollowsTheVolumeAtEverySample) {
    MonitorFixture machine;
    machine.start();
    MonitorContent content(machine.monitor());
    content.resize(1320, 1100);
    content.show();
    runPendingEvents();
    auto shown = [](const HeroValue* hero) { return hero->valueLabel()->text() + " " + hero->unitLabel()->text(); };
    auto spaced = [](std::int64_t bytes) { return ByteFormatting::string(bytes).replace(QChar(0x00A0), ' '); };
    auto* overview = page<MonitorOverviewPage>(content);
    EXPECT_EQ(shown(overview->diskCard()->hero()), spaced(180'000'000'000));

    // 4 GB written.
    machine.capacity = {512'000'000'000, 176'000'000'000, 201'600'000'000};
    machine.step();
    runPendingEvents();
    EXPECT_EQ(shown(overview->diskCard()->hero()), spaced(176'000'000'000));

    content.setTab(MonitorTab::disk);
    runPendingEvents();
    auto* disk = page<DiskPage>(content);
    auto expectVolume = [&](std::int64_t available, std::int64_t used, std::int64_t reserved) {
        EXPECT_EQ(shown(disk->hero()->hero()), spaced(available));
        EXPECT_EQ(disk->usedTile()->valueLabel()->text(), ByteFormatting::string(used));
        EXPECT_EQ(disk->hero()->rowValue(text("monitor.used")), ByteFormatting::string(used));
        EXPECT_EQ(disk->hero()->rowValue(text("storage.reserved")), reserved > 0 ? ByteFormatting::string(reserved) : QString());
        // The bar: the used space, the blocks kept for root in their own part, then what is free.
        const CapacityBar::Shape bar = disk->usedBar()->shownShape();
        const double width = disk->usedBar()->width();
        ASSERT_GT(width, 100);
        EXPECT_NEAR(bar.width[CapacityBar::Shape::rest], width * double(used) / 512e9, 1);
        EXPECT_EQ(bar.presence[CapacityBar::Shape::reserved], reserved > 0 ? 1 : 0);
        if (reserved > 0) {
            EXPECT_NEAR(bar.width[CapacityBar::Shape::reserved], width * double(reserved) / 512e9, 1);
        }
    };
    expectVolume(176'000'000'000, 310'400'000'000, 25'600'000'000);
    // 10 GB deleted.
    machine.capacity = {512'000'000'000, 186'000'000'000, 211'600'000'000};
    machine.step();
    runPendingEvents();
    expectVolume(186'000'000'000, 300'400'000'000, 25'600'000'000);
    // A file system that keeps nothing back for root: no such row, no such part.
    machine.capacity = {512'000'000'000, 186'000'000'000, 186'000'000'000};
    machine.step();
    runPendingEvents();
    expectVolume(186'000'000'000, 326'000'000'000, 0);
    // One that can no longer be read is unknown, not empty.
    machine.capacity = {};
    machine.step();
    runPendingEvents();
    EXPECT_EQ(disk->hero()->hero()->valueLabel()->text(), dash);
    EXPECT_EQ(disk->usedTile()->valueLabel()->text(), dash);
}

TEST(MonitorScreen, BatteryPageOnALaptop) {
    MonitorFixture machine(true);
    machine.start();
    machine.step(2);
    MonitorContent content(machine.monitor());
    auto* overview = page<MonitorOverviewPage>(content);
    EXPECT_EQ(heroValue(overview->systemOrBatteryCard()), "69");
    EXPECT_FALSE(overview->systemOrBatteryCard()->header()->chevron()->isHidden());
    QTest::mouseClick(overview->systemOrBatteryCard()->header()->chevron(), Qt::LeftButton);
    EXPECT_EQ(content.tab(), MonitorTab::battery);
    EXPECT_EQ(content.tabBar()->selection(), "battery");
    auto* battery = page<BatteryPage>(content);
    EXPECT_FALSE(battery->showsDesktopNote());
    EXPECT_TRUE(battery->hero()->badge()->isHidden());  // discharging
    EXPECT_EQ(battery->hero()->rowValue(text("monitor.remaining")), "2h 15m");
    EXPECT_EQ(battery->hero()->rowValue(text("monitor.powerDraw")), MonitorText::watts(18.0));
    EXPECT_EQ(battery->cyclesTile()->valueLabel()->text(), "312");
    EXPECT_EQ(battery->healthTile()->valueLabel()->text(), Fmt::percent(0.9));
    EXPECT_EQ(battery->statusTile()->valueLabel()->text(), text("monitor.onBatteryShort"));

    // Plugged in and full: charging, with the badge, and no estimate.
    machine.machine.write("sys/class/power_supply/AC/uevent", "POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
    machine.machine.write("sys/class/power_supply/BAT0/uevent", "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Full\n"
                                                                "POWER_SUPPLY_CAPACITY=100\n");
    machine.step(2);
    runPendingEvents();
    EXPECT_FALSE(battery->hero()->badge()->isHidden());
    EXPECT_EQ(battery->statusTile()->valueLabel()->text(), text("monitor.chargingShort"));
    EXPECT_EQ(battery->hero()->rowValue(text("monitor.remaining")), dash);
    EXPECT_EQ(battery->cyclesTile()->valueLabel()->text(), dash);
}

TEST(MonitorScreen, TabsOpenActionsAndStarting) {
    MonitorFixture machine;
    auto screen = std::make_unique<MonitorView>(machine.state());
    EXPECT_EQ(machine.monitor().tick(), 0);
    screen->resize(1320, 1100);
    screen->show();
    EXPECT_EQ(machine.monitor().tick(), 1);  // shown: started
    MonitorContent* content = screen->content();
    // Seven tabs, also on a desktop; the disk card's open button moves the tab bar too.
    EXPECT_EQ(content->tabBar()->findChildren<QWidget*>().size() >= 7, true);
    auto* overview = page<MonitorOverviewPage>(*content);
    QTest::mouseClick(overview->diskCard()->header()->chevron(), Qt::LeftButton);
    EXPECT_EQ(content->tab(), MonitorTab::disk);
    EXPECT_EQ(content->tabBar()->selection(), "disk");

    // A screen made again opens on the overview and does not sample again.
    screen = std::make_unique<MonitorView>(machine.state());
    screen->show();
    EXPECT_EQ(screen->content()->tab(), MonitorTab::overview);
    EXPECT_EQ(machine.monitor().tick(), 1);

    // One refresh per sample, however many signals it sends.
    machine.step();
    runPendingEvents();
    EXPECT_EQ(heroValue(page<MonitorOverviewPage>(*screen->content())->processorCard()),
              MonitorText::wholePercent(machine.monitor().metrics().cpuUsage));
}

TEST(MonitorScreen, ASampleThatChangesNothingRepaintsNothing) {
    MonitorFixture machine;
    machine.start();
    machine.step(3);
    MonitorContent content(machine.monitor());
    content.resize(1320, 1400);  // every card of the overview on screen
    content.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&content));
    runPendingEvents();
    QCoreApplication::processEvents();

    // Counts the paint events of the screen's widgets.
    struct PaintCounter : QObject {
        QWidget* screen = nullptr;
        int paints = 0;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == screen) ++paints;
            return false;
        }
    } counter;
    counter.screen = &content;
    qApp->installEventFilter(&counter);

    // The monitor publishes the figures it already showed: every card is set again, none repaints.
    emit machine.monitor().metricsChanged();
    emit machine.monitor().appsChanged();
    runPendingEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    // A new second does.
    machine.step();
    runPendingEvents();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    qApp->removeEventFilter(&counter);
}

TEST(MonitorScreen, RightToLeftKeepsFiguresInOrder) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    MonitorFixture machine;
    machine.start();
    machine.step();
    MonitorContent content(machine.monitor());
    content.setLayoutDirection(Qt::RightToLeft);
    content.resize(1320, 1000);
    content.show();
    runPendingEvents();
    auto* overview = page<MonitorOverviewPage>(content);
    // Arabic texts, and the memory card's value still stands before its unit, left to right.
    EXPECT_EQ(overview->processorCard()->header()->findChildren<TextLabel*>().first()->text(), text("monitor.tab.cpu"));
    EXPECT_NE(text("monitor.tab.cpu"), "monitor.tab.cpu");
    HeroValue* memory = overview->memoryCard()->hero();
    EXPECT_LT(memory->valueLabel()->mapTo(&content, QPoint()).x(), memory->unitLabel()->mapTo(&content, QPoint()).x());
    // The caption's total is isolated inside the Arabic sentence.
    EXPECT_TRUE(memory->findChildren<TextLabel*>().first()->text().contains(QChar(0x2066)));
    // Cards run from the right: the processor card stands right of the memory card.
    EXPECT_GT(overview->processorCard()->mapTo(&content, QPoint()).x(), overview->memoryCard()->mapTo(&content, QPoint()).x());
    SettingsStore::shared().setValue("appLanguage", "en");
}
