#include "App/MenuBarPanel/MenuBarGlyph.h"
#include "App/MenuBarPanel/MenuBarLabel.h"
#include "App/MenuBarPanel/MenuBarPanel.h"
#include "App/MenuBarPanel/PanelButton.h"
#include "App/MenuBarPanel/PanelCardButton.h"
#include "App/MenuBarPanel/PanelDockerPage.h"
#include "App/MenuBarPanel/PanelDockerRow.h"
#include "App/MenuBarPanel/PanelHealth.h"
#include "App/MenuBarPanel/PanelMetricPage.h"
#include "App/MenuBarPanel/PanelOverviewPage.h"
#include "App/MenuBarPanel/PanelPlacement.h"
#include "App/MenuBarPanel/PanelProjectsPage.h"
#include "App/MenuBarPanel/PanelTabButton.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Platform/MachineName.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Services/DockerPanelModel.h"
#include "Support/FakeDocker.h"
#include "ViewSupport/MonitorFixture.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/ProjectRow.h"
#include "Views/Projects/ProjectStopConfirmation.h"

#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace std::chrono_literals;

TEST(MenuBarGlyph, SparkBarsPadTheOldestAndScaleToSixteen) {
    const std::vector<double> empty = MenuBarGlyph::sparkHeights({});
    ASSERT_EQ(empty.size(), 24u);
    for (double height : empty) EXPECT_EQ(height, 1);

    const std::vector<double> ten = MenuBarGlyph::sparkHeights(std::vector<double>(10, 0.5));
    ASSERT_EQ(ten.size(), 24u);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(ten[std::size_t(i)], 1) << i;
    for (int i = 14; i < 24; ++i) EXPECT_EQ(ten[std::size_t(i)], 8) << i;

    const std::vector<double> values = MenuBarGlyph::sparkHeights({1.0, 0.5, 0.01, std::nan(""), 3.0, -0.2, 0.0});
    EXPECT_EQ(values[17], 16);
    EXPECT_EQ(values[18], 8);
    EXPECT_EQ(values[19], 1);   // 0.16 of a point still shows as one
    EXPECT_EQ(values[20], 16);  // not a number: full
    EXPECT_EQ(values[21], 16);
    EXPECT_EQ(values[22], 1);
    EXPECT_EQ(values[23], 1);  // the newest is rightmost

    // The glyph takes the newest 24 points of a longer history, oldest first.
    std::vector<MetricPoint> history;
    for (int i = 0; i < 30; ++i) history.push_back({Uuid::random(), Instant::fromReferenceSeconds(i), i / 100.0});
    const std::vector<double> spark = MenuBarGlyph::sparkValues(history);
    ASSERT_EQ(spark.size(), 24u);
    EXPECT_DOUBLE_EQ(spark.front(), 0.06);
    EXPECT_DOUBLE_EQ(spark.back(), 0.29);
}

TEST(MenuBarGlyph, StackedLinesAndUnknownStyle) {
    SystemMetrics metrics;
    metrics.memoryUsed = 123;
    metrics.memoryTotal = 0;
    EXPECT_EQ(MenuBarGlyph::memoryRatio(metrics), 0);
    const auto [cpu, memory] = MenuBarGlyph::stackedLines(0.25, MenuBarGlyph::memoryRatio(metrics));
    EXPECT_EQ(cpu, "CPU " + Fmt::percent(0.25));
    EXPECT_EQ(memory, "MEM " + Fmt::percent(0));
    EXPECT_EQ(MenuBarGlyph::stackedLines(std::nullopt, 0.5).first, "CPU —");  // before the first measured sample

    EXPECT_EQ(MenuBarGlyph::style("graph"), MenuBarItemStyle::graph);
    EXPECT_EQ(MenuBarGlyph::style("Graph"), MenuBarItemStyle::icon);
    EXPECT_EQ(MenuBarGlyph::style(""), MenuBarItemStyle::icon);

    // Every style draws something, at the device pixel ratio, only in the ink.
    MenuBarGlyph::Reading reading{0.42, 0.5, {0.1, 0.9}};
    for (MenuBarItemStyle style : allCases<MenuBarItemStyle>()) {
        const QImage image = MenuBarGlyph::image(style, reading, 22, 2, QColor(255, 0, 0));
        ASSERT_EQ(image.size(), QSize(44, 44));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() == 0) continue;
                ++inked;
                EXPECT_EQ(pixel.green(), 0);
            }
        EXPECT_GT(inked, 20) << rawValue(style);
    }
}

TEST(MenuBarLabel, FollowsTheStoredStyleAtOnceAndTellsBothFigures) {
    MonitorFixture machine;
    SystemMonitor* monitor = &machine.monitor();
    SettingsStore::shared().setValue("menuBarStyle", "no such style");
    MenuBarLabel label(monitor);  // starts the monitor
    machine.step(2);
    EXPECT_EQ(label.style(), MenuBarItemStyle::icon);
    const QImage iconImage = label.image();
    SettingsStore::shared().setValue("menuBarStyle", "stacked");
    EXPECT_EQ(label.style(), MenuBarItemStyle::stacked);
    EXPECT_NE(label.image(), iconImage);
    EXPECT_TRUE(label.toolTip().contains("CPU " + Fmt::percent(monitor->metrics().cpuUsage)));
    EXPECT_TRUE(label.toolTip().contains("MEM " + Fmt::percent(MenuBarGlyph::memoryRatio(monitor->metrics()))));
    EXPECT_EQ(label.trayIcon()->toolTip(), label.toolTip());
    SettingsStore::shared().remove("menuBarStyle");
}

TEST(PanelHealth, OrderAndEdges) {
    using Capacity = DiskCapacityService::Capacity;
    const Capacity low{500'000'000'000, 19'999'999'999}, enough{500'000'000'000, 20'000'000'000}, unreadable{0, 0};
    EXPECT_EQ(PanelHealth::of(low, MemoryPressure::normal, 0).key, "menubar.health.disk");
    EXPECT_EQ(PanelHealth::of(enough, MemoryPressure::normal, 0).key, "menubar.health.good");
    EXPECT_EQ(PanelHealth::of(low, MemoryPressure::critical, 0.99).key, "menubar.health.disk");  // the disk comes first
    EXPECT_EQ(PanelHealth::of(enough, MemoryPressure::critical, 0.99).key, "menubar.health.memory");
    EXPECT_EQ(PanelHealth::of(enough, MemoryPressure::warning, 0.99).key, "menubar.health.memoryElevated");
    EXPECT_EQ(PanelHealth::of(enough, MemoryPressure::normal, 0.85).key, "menubar.health.good");  // strictly greater
    EXPECT_EQ(PanelHealth::of(enough, MemoryPressure::normal, 0.8501).key, "menubar.health.cpu");
    // A volume whose size could not be read is neither low in the health nor under the banner.
    EXPECT_EQ(PanelHealth::of(unreadable, MemoryPressure::warning, 0).key, "menubar.health.memoryElevated");
    EXPECT_FALSE(PanelHealth::isLowOnSpace(unreadable));
    EXPECT_TRUE(PanelHealth::isLowOnSpace(low));
    EXPECT_FALSE(PanelHealth::isLowOnSpace(enough));
}

TEST(PanelTabs, StoredTabRules) {
    EXPECT_EQ(PanelTabs::current("memory", false), PanelTab::memory);
    EXPECT_EQ(PanelTabs::current("memroy", true), PanelTab::overview);
    EXPECT_EQ(PanelTabs::current("battery", true), PanelTab::battery);
    EXPECT_EQ(PanelTabs::current("battery", false), PanelTab::overview);  // no "0 %" page on a desktop
    EXPECT_EQ(PanelTabs::shown(false).size(), 7u);
    EXPECT_EQ(PanelTabs::shown(true).size(), 8u);
    EXPECT_EQ(PanelTabs::titleKey(PanelTab::docker), "monitor.tab.docker");
}

TEST(PanelPlacement, NextToTheIconInsideItsScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize panel(360, 600);
    // A tray at the top right: under the icon, pushed left to stay on screen.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(1570, 2, 24, 24), {}, panel, screen), QPoint(1240, 30));
    // A tray at the bottom: over the icon.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(700, 970, 24, 24), {}, panel, screen), QPoint(531, 366));
    // No geometry from the tray: at the pointer.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(), QPoint(20, 10), panel, screen), QPoint(0, 15));
    // A second screen to the right.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(1700, 0, 24, 24), {}, panel, QRect(1600, 0, 1920, 1080)).x(), 1600);
}

TEST(MachineName, PrettyHostNameOfMachineInfo) {
    EXPECT_EQ(MachineName::prettyHostName("PRETTY_HOSTNAME=\"Lina's \\\"desk\\\"\"\nCHASSIS=laptop\n"), "Lina's \"desk\"");
    EXPECT_EQ(MachineName::prettyHostName("CHASSIS=laptop\nPRETTY_HOSTNAME=Studio\n"), "Studio");
    EXPECT_EQ(MachineName::prettyHostName("CHASSIS=laptop\n"), "");
    TempTree root;
    root.write("etc/machine-info", "PRETTY_HOSTNAME='Workbench'\n");
    EXPECT_EQ(MachineName::pretty(root.path()), "Workbench");
    EXPECT_FALSE(MachineName::pretty(root.path() / "nowhere").isEmpty());  // the host name, or "Linux"
}

TEST(PanelMetricPage, FiguresOfEachTab) {
    MonitorFixture machine;
    SystemMonitor* monitor = &machine.monitor();
    machine.start();
    const auto baseline = PanelMetricPage::figures(PanelTab::cpu, *monitor, {});
    EXPECT_EQ(baseline.value, "—");  // one reading of the counters is no processor figure yet
    EXPECT_EQ(baseline.rows[0].second, "—");
    machine.step();
    const auto cpu = PanelMetricPage::figures(PanelTab::cpu, *monitor, {});
    EXPECT_EQ(cpu.value, QString::number(std::lround(monitor->metrics().cpuUsage * 100)));
    EXPECT_EQ(cpu.unit, "%");
    EXPECT_EQ(cpu.caption, "Fixture CPU @ 3.00GHz");

    const auto disk = PanelMetricPage::figures(PanelTab::disk, *monitor, {100, 500});  // more free than total
    EXPECT_EQ(disk.rows[2].second, ByteFormatting::string(std::int64_t(0)));
    const auto unreadable = PanelMetricPage::figures(PanelTab::disk, *monitor, {0, 0});
    EXPECT_EQ(unreadable.value + " " + unreadable.unit, ByteFormatting::string(std::int64_t(0)).replace(QChar(0xA0), ' '));

    const auto network = PanelMetricPage::figures(PanelTab::network, *monitor, {});
    EXPECT_TRUE(network.unit.endsWith("/s"));
    const auto battery = PanelMetricPage::figures(PanelTab::battery, *monitor, {});
    EXPECT_EQ(battery.rows[0].second, "—");  // no power figure
}

namespace {

class PanelTest : public ::testing::Test {
protected:
    PanelTest() {
        SettingsStore::shared().setValue("appLanguage", "en");
        machine.start();
        machine.step(2);
    }
    ~PanelTest() override {
        panel.reset();
        for (const char* key : {"appLanguage", "menuBarTab"}) SettingsStore::shared().remove(key);
    }

    MenuBarPanel& makePanel(std::chrono::milliseconds dockerInterval = 1h) {
        MenuBarPanel::Options options;
        options.capacity = [this] { return capacity; };
        options.dockerInterval = dockerInterval;
        MenuBarPanel::Actions actions{[this] { ++opened; }, [this] { ++settingsOpened; }, [this] { ++quits; }};
        panel = std::make_unique<MenuBarPanel>(machine.state(), actions, options);
        return *panel;
    }

    PanelTabButton* currentTabButton() const {
        for (PanelTabButton* button : panel->tabButtons())
            if (button->isCurrent()) return button;
        return nullptr;
    }

    MonitorFixture machine;
    AppState* state = &machine.state();
    DiskCapacityService::Capacity capacity{500'000'000'000, 200'000'000'000};
    std::unique_ptr<MenuBarPanel> panel;
    int opened = 0, settingsOpened = 0, quits = 0;
};

}  // namespace

TEST_F(PanelTest, StoredTabThatNamesNoTabShowsTheOverviewAndKeepsTheText) {
    SettingsStore::shared().setValue("menuBarTab", "memroy");
    MenuBarPanel& shown = makePanel();
    shown.show();
    EXPECT_TRUE(qobject_cast<PanelOverviewPage*>(shown.page()));
    ASSERT_TRUE(currentTabButton());
    EXPECT_EQ(currentTabButton()->tab(), PanelTab::overview);
    EXPECT_EQ(shown.caption()->text(), AppLocalization::string("monitor.tab.overview").toUpper());
    EXPECT_FALSE(shown.isPollingDocker());
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "memroy");
    // This fixture has no battery: a stored battery tab shows the overview, with seven tabs.
    SettingsStore::shared().setValue("menuBarTab", "battery");
    EXPECT_TRUE(qobject_cast<PanelOverviewPage*>(shown.page()));
    EXPECT_EQ(shown.tabButtons().size(), 7u);
    // A tap on a tab stores it and shows its page.
    QTest::mouseClick(shown.tabButtons()[2], Qt::LeftButton);
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "memory");
    EXPECT_TRUE(qobject_cast<PanelMetricPage*>(shown.page()));
}

TEST_F(PanelTest, LowSpaceBannerNeedsAReadableVolume) {
    MenuBarPanel& shown = makePanel();
    shown.show();
    EXPECT_TRUE(shown.lowSpaceBanner()->isHidden());
    capacity = {0, 0};  // could not be read
    shown.refresh();
    EXPECT_TRUE(shown.lowSpaceBanner()->isHidden());
    EXPECT_EQ(shown.healthPill()->text(), AppLocalization::string("menubar.health.good"));
    capacity = {500'000'000'000, 19'999'999'999};
    shown.refresh();
    EXPECT_FALSE(shown.lowSpaceBanner()->isHidden());
    EXPECT_EQ(shown.healthPill()->text(), AppLocalization::string("menubar.health.disk"));
}

TEST_F(PanelTest, FooterAndQuickActionsBringTheMainWindow) {
    MenuBarPanel& shown = makePanel();
    shown.show();
    QTest::mouseClick(shown.openButton(), Qt::LeftButton);
    QTest::mouseClick(shown.settingsButton(), Qt::LeftButton);
    QTest::mouseClick(shown.quitButton(), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(settingsOpened, 1);
    EXPECT_EQ(quits, 1);

    auto* overview = qobject_cast<PanelOverviewPage*>(shown.page());
    ASSERT_TRUE(overview);
    QTest::mouseClick(overview->searchAction(), Qt::LeftButton);
    EXPECT_EQ(state->selectedSection(), AppSection::search);
    EXPECT_EQ(opened, 2);
    QTest::mouseClick(overview->scanAction(), Qt::LeftButton);
    EXPECT_EQ(state->selectedSection(), AppSection::storage);
    EXPECT_TRUE(state->isScanning());
    EXPECT_EQ(opened, 3);
    QTest::mouseClick(overview->scanAction(), Qt::LeftButton);  // while one runs: only the window
    EXPECT_TRUE(state->isScanning());
    EXPECT_EQ(opened, 4);
    state->cancelScan();

    // The tiles and the storage card switch the panel's tab and open nothing.
    QTest::mouseClick(overview->tile(PanelTab::memory), Qt::LeftButton);
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "memory");
    SettingsStore::shared().setValue("menuBarTab", "overview");
    QTest::mouseClick(qobject_cast<PanelOverviewPage*>(shown.page())->storageCard(), Qt::LeftButton);
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "disk");
    EXPECT_EQ(opened, 4);

    // Escape closes the panel.
    QTest::keyClick(&shown, Qt::Key_Escape);
    EXPECT_FALSE(shown.isVisible());
}

TEST_F(PanelTest, DockerIsPolledOnlyOnItsTabAndAFailedActionKeepsTheList) {
    FakeDocker docker;
    const QString id(64, QLatin1Char('c'));
    docker.answer("ps", R"({"ID":")" + id.toStdString() + R"json(","Names":"cache","Image":"redis","State":"running","Status":"Up 2 hours","Ports":""})json");
    docker.answer("stats", "");
    docker.answer("kill", "", 1, "Error: permission denied\n");
    MenuBarPanel& shown = makePanel(20ms);
    shown.show();
    EXPECT_FALSE(shown.isPollingDocker());
    shown.selectTab(PanelTab::docker);
    EXPECT_TRUE(shown.isPollingDocker());
    ASSERT_TRUE(QTest::qWaitFor([&] { return docker.callCount("ps") >= 2; }, 5000));  // at once, then again
    auto* page = qobject_cast<PanelDockerPage*>(shown.page());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->runningCount()->text(), "1");

    // A failed kill is shown on its row; the list stays and Docker is not called unavailable.
    auto* row = page->findChild<PanelDockerRow*>();
    ASSERT_TRUE(row);
    QTest::mouseClick(row->button(DockerAction::kill), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->findChild<TextLabel*>("actionError") != nullptr; }, 5000));
    EXPECT_EQ(page->findChild<TextLabel*>("actionError")->text(), "Error: permission denied");
    EXPECT_FALSE(page->findChild<QWidget*>("unavailable"));
    EXPECT_TRUE(page->findChild<PanelDockerRow*>());

    shown.selectTab(PanelTab::cpu);
    EXPECT_FALSE(shown.isPollingDocker());  // the polling loop's stop was requested
    const int calls = docker.callCount("ps");
    shown.selectTab(PanelTab::docker);
    EXPECT_TRUE(shown.isPollingDocker());
    ASSERT_TRUE(QTest::qWaitFor([&] { return docker.callCount("ps") > calls; }, 5000));  // back with an immediate refresh
    shown.hide();
    EXPECT_FALSE(shown.isPollingDocker());
}

TEST_F(PanelTest, ProjectsPageLimitsRowsAndStopsThroughTheConfirmation) {
    SettingsStore::shared().setValue("menuBarTab", "projects");
    MenuBarPanel& shown = makePanel();
    shown.show();
    auto* page = qobject_cast<PanelProjectsPage*>(shown.page());
    ASSERT_TRUE(page);
    const Instant now = Instant::fromReferenceSeconds(800'000'000);
    std::vector<DevProject> projects;
    for (int i = 0; i < 8; ++i) {
        DevProject project;
        project.id = "/home/dev/p" + std::to_string(i);
        project.name = "p" + std::to_string(i);
        project.runtime = "node";
        project.memory = 1000;
        project.ports = {3000 + i};
        project.lastActiveAt = now.addingSeconds(i < 3 ? -2000 : -5);  // the first three are idle servers
        projects.push_back(project);
    }
    page->present(projects, now);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page->findChildren<ProjectRow*>().size(), 7);
    auto* more = page->findChild<QPushButton*>("moreProjects");
    ASSERT_TRUE(more);
    EXPECT_EQ(more->text(), AppLocalization::format("projects.more", {1}));
    EXPECT_EQ(page->findChild<TextLabel*>("projectMemory")->text(), ByteFormatting::string(std::int64_t(8000)));  // all eight

    QTest::mouseClick(page->findChild<QAbstractButton*>("stopAll"), Qt::LeftButton);
    const auto& pending = shown.stopConfirmation()->pending();
    ASSERT_EQ(pending.size(), 3u);
    EXPECT_EQ(pending[0].name, "p0");
    EXPECT_EQ(pending[2].name, "p2");
    shown.stopConfirmation()->cancelButton()->click();
    EXPECT_TRUE(shown.stopConfirmation()->pending().empty());

    projects.resize(7);
    page->present(projects, now);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(page->findChild<QPushButton*>("moreProjects"));
    more = nullptr;
    projects.push_back(projects[0]);
    projects.back().id = "/home/dev/p8";
    page->present(projects, now);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    more = page->findChild<QPushButton*>("moreProjects");
    ASSERT_TRUE(more);
    more->click();
    EXPECT_EQ(state->selectedSection(), AppSection::monitor);
    EXPECT_EQ(opened, 1);
}
