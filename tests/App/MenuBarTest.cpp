#include "App/MenuBarPanel/DockerMessageLabel.h"
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
#include "App/MenuBarPanel/PanelTopApps.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Platform/MachineName.h"
#include "Platform/SettingsStore.h"
#include "Services/AppRankings.h"
#include "Services/AppState.h"
#include "Services/DockerPanelModel.h"
#include "Support/FakeDocker.h"
#include "ViewSupport/ManualAnimationClock.h"
#include "ViewSupport/MonitorFixture.h"
#include "ViewSupport/Settling.h"
#include "Views/Common/FadingStack.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/Ease.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/FigureAndUnit.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/ReadableText.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Monitor/MonitorContent.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Projects/ProjectRow.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Tools/LazyRowStack.h"

#include <QAction>
#include <QClipboard>
#include <QPainter>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

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

namespace {

// The rows of `image` that hold ink, in runs: [first, last] of each band of text.
std::vector<std::pair<int, int>> inkBands(const QImage& image) {
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool inked = false;
        for (int x = 0; x < image.width() && !inked; ++x) inked = image.pixelColor(x, y).alpha() > 96;
        if (!inked) continue;
        if (!bands.empty() && bands.back().second == y - 1) bands.back().second = y;
        else bands.push_back({y, y});
    }
    return bands;
}

}  // namespace

TEST(MenuBarGlyph, StackedNumbersStayReadableInASquareIcon) {
    EXPECT_EQ(MenuBarGlyph::stackedNumbers(0.42, 0.5809), (std::pair<QString, QString>(QLocale::system().toString(42), QLocale::system().toString(58))));
    EXPECT_EQ(MenuBarGlyph::stackedNumbers(std::nullopt, 1.0).first, "—");
    for (int side : {16, 22, 24}) {
        EXPECT_GE(MenuBarGlyph::stackedPixelSize(side), 8) << side;
        for (const MenuBarGlyph::Reading& reading : {MenuBarGlyph::Reading{0.42, 0.58, {}}, MenuBarGlyph::Reading{1.0, 1.0, {}}}) {
            const QImage image = MenuBarGlyph::image(MenuBarItemStyle::stacked, reading, side, 1, Qt::black);
            const auto bands = inkBands(image);
            // Two lines of digits, apart, each at least 6 pixels tall (a pixel size of 8 and more).
            ASSERT_EQ(bands.size(), 2u) << side;
            for (const auto& [first, last] : bands) EXPECT_GE(last - first + 1, side < 20 ? 6 : 8) << side;
            // Nothing reaches the edge, where the outline goes.
            for (int y = 0; y < image.height(); ++y) {
                EXPECT_EQ(image.pixelColor(0, y).alpha(), 0) << side;
                EXPECT_EQ(image.pixelColor(image.width() - 1, y).alpha(), 0) << side;
            }
        }
    }
}

// The figure fills the square: its digits at least 8 pixels tall at 16 (the "%" in "100%" squeezed
// them to 5 to 7 pixels at 22), the widest number whole and clear of the outline's edge.
TEST(MenuBarGlyph, FigureStaysReadableInASquareIcon) {
    for (int side : {16, 22, 24}) {
        for (double cpu : {0.42, 1.0, 0.07}) {
            const QImage image = MenuBarGlyph::image(MenuBarItemStyle::figure, {cpu, 0.5, {}}, side, 1, Qt::black);
            const auto bands = inkBands(image);
            ASSERT_EQ(bands.size(), 1u) << side << " " << cpu;
            EXPECT_GE(bands[0].second - bands[0].first + 1, side < 20 ? 8 : 11) << side << " " << cpu;
            int left = image.width(), right = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y).alpha() > 96) left = std::min(left, x), right = std::max(right, x);
            EXPECT_GE(left, 1) << side << " " << cpu;
            EXPECT_LE(right, image.width() - 2) << side << " " << cpu;
            // Not a dot or a dash: the number spans a good part of the width.
            EXPECT_GE(right - left + 1, side / 3) << side << " " << cpu;
        }
    }
}

TEST(MenuBarGlyph, EveryStyleShowsOnALightAndADarkTrayWithoutItsColours) {
    const QColor light(0xED, 0xED, 0xED), dark(0x24, 0x24, 0x24);
    auto color = [](const TrayPanelColors::Ink& ink) { return QColor(ink.red, ink.green, ink.blue); };
    for (bool appIsDark : {false, true}) {
        const TrayPanelColors::Inks inks = TrayPanelColors::withOutline(std::nullopt, TrayPanelColors::choose(std::nullopt, {}, "", appIsDark));
        ASSERT_TRUE(inks.outline);
        for (MenuBarItemStyle style : allCases<MenuBarItemStyle>()) {
            const QImage glyph = MenuBarGlyph::image(style, {0.42, 0.58, {0.2, 0.9, 0.5}}, 22, 1, color(inks.ink), color(*inks.outline));
            for (const QColor& tray : {light, dark}) {
                QImage shown(glyph.size(), QImage::Format_RGB32);
                shown.fill(tray);
                QPainter(&shown).drawImage(0, 0, glyph);
                int clear = 0;  // pixels that stand out from the tray at a contrast of 3:1 or more
                for (int y = 0; y < shown.height(); ++y)
                    for (int x = 0; x < shown.width(); ++x) clear += ReadableText::contrast(shown.pixelColor(x, y), tray) >= 3;
                EXPECT_GE(clear, 20) << rawValue(style) << (appIsDark ? " dark app on " : " light app on ") << tray.name().toStdString();
            }
        }
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
    EXPECT_EQ(PanelPlacement::topLeft(QRect(1570, 2, 24, 24), panel, screen), QPoint(1240, 30));
    // A tray at the bottom: over the icon.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(700, 970, 24, 24), panel, screen), QPoint(531, 366));
    // At the pointer, in a corner.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(20, 10, 1, 1), panel, screen), QPoint(0, 15));
    // A second screen to the right.
    EXPECT_EQ(PanelPlacement::topLeft(QRect(1700, 0, 24, 24), panel, QRect(1600, 0, 1920, 1080)).x(), 1600);
}

TEST(PanelPlacement, AClickTrustsOnlyAnIconThatHoldsThePointer) {
    const QRect icon(1570, 2, 24, 26);
    const QPoint onIcon(1582, 15);
    const QRect atPointer(onIcon, QSize(1, 1));
    EXPECT_EQ(PanelPlacement::anchor(icon, onIcon, true), icon);
    EXPECT_EQ(PanelPlacement::anchor(icon, icon.bottomRight(), true), icon);
    // The tray's first report, in its own coordinates: the pointer on the real icon is the anchor, and
    // the panel opens at the top right, not in the top left corner.
    const QRect trayLocal(0, 0, 24, 26);
    EXPECT_EQ(PanelPlacement::anchor(trayLocal, onIcon, true), atPointer);
    EXPECT_EQ(PanelPlacement::topLeft(PanelPlacement::anchor(trayLocal, onIcon, true), {360, 600}, {0, 0, 1600, 1000}), QPoint(1240, 20));
    // An icon reported on the left screen while the click was on the right one: the right one.
    const QPoint onRightScreen(3500, 12);
    const QRect right(1600, 0, 1920, 1080);
    const QRect anchor = PanelPlacement::anchor(icon, onRightScreen, true);
    EXPECT_EQ(anchor, QRect(onRightScreen, QSize(1, 1)));
    EXPECT_TRUE(right.contains(QRect(PanelPlacement::topLeft(anchor, {360, 600}, right), QSize(360, 600))));
    // No geometry from the tray: the pointer, clicked or not.
    EXPECT_EQ(PanelPlacement::anchor(QRect(), onIcon, true), atPointer);
    EXPECT_EQ(PanelPlacement::anchor(QRect(5, 5, 0, 0), onIcon, false), atPointer);
    // Opened from the keyboard the pointer may be anywhere: the icon the tray tells.
    EXPECT_EQ(PanelPlacement::anchor(icon, QPoint(300, 700), false), icon);
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

// Every text the Docker tool hands over is shown with its reordering controls marked: an image named
// "img\u202Eevil" must not read "imglive". The error is copied as the tool wrote it.
TEST(PanelDockerRow, TheToolsTextsShowTheirReorderingControls) {
    const QString rlo(QChar(0x202E));
    PanelDockerRow row([](DockerAction, const DockerContainer&) {});
    const DockerContainer container{"id", "web" + rlo + "gnp", "img" + rlo + "evil", "running", "Up" + rlo + " 2 hours",
                                    "0.0.0.0:80" + rlo + "->80/tcp", "1.5%" + rlo, rlo + "20MiB / 1GiB"};
    const QString failure = "Error: no such container web" + rlo + "gnp";
    row.present(container, false, failure);
    QStringList shown;
    for (const TextLabel* label : row.findChildren<TextLabel*>()) shown << label->text();
    const QString all = shown.join('\n');
    EXPECT_FALSE(all.contains(rlo)) << all.toStdString();
    for (const QString& marked : {QString("img[U+202E]evil"), QString("Up[U+202E] 2 hours"), QString("0.0.0.0:80[U+202E]->80/tcp"),
                                  QString("CPU 1.5%[U+202E]   MEM [U+202E]20MiB / 1GiB"), QString("web[U+202E]gnp")})
        EXPECT_TRUE(all.contains(marked)) << marked.toStdString() << " not in " << all.toStdString();
    EXPECT_EQ(row.actionError()->message(), failure);
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
        MenuBarPanel::Actions actions{[this] {
                                          ++opened;
                                          sectionWhenOpened = state->selectedSection();
                                      },
                                      [this] { ++quits; }};
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
    int opened = 0, quits = 0;
    std::optional<AppSection> sectionWhenOpened;
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

TEST_F(PanelTest, ATabChangeEasesTheHighlightAndDissolvesThePage) {
    ManualAnimationClock clock;
    MenuBarPanel& shown = makePanel();
    shown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    PanelTabButton* overview = shown.tabButtons()[0];
    PanelTabButton* memory = shown.tabButtons()[2];
    ASSERT_EQ(overview->currentLevel(), 1);
    EXPECT_EQ(memory->ease().durationMs(), Ease::panelTabMs);

    QTest::mouseClick(memory, Qt::LeftButton);
    EXPECT_TRUE(qobject_cast<PanelMetricPage*>(shown.page()));  // the new page is there at once, under the old one's picture
    EXPECT_TRUE(shown.pages()->isFading());
    clock.advanceBy(Ease::panelTabMs / 2);
    const double eased = Ease::out().valueForProgress(0.5);
    EXPECT_NEAR(memory->currentLevel(), eased, 1e-9);
    EXPECT_NEAR(overview->currentLevel(), 1 - eased, 1e-9);
    clock.advanceBy(Ease::panelTabMs / 2);
    EXPECT_EQ(memory->currentLevel(), 1);
    EXPECT_EQ(overview->currentLevel(), 0);
    EXPECT_FALSE(shown.pages()->isFading());
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
    // Each way to the main window closes the panel: it would otherwise stay over the window.
    auto clickOpen = [&](QWidget* button) {
        shown.show();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(shown.isVisible()) << button->objectName().toStdString();
    };
    clickOpen(shown.openButton());
    EXPECT_EQ(sectionWhenOpened, AppSection::overview);
    // Settings: the main window on its settings section, chosen before the window comes forward.
    clickOpen(shown.settingsButton());
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(sectionWhenOpened, AppSection::settings);
    shown.show();
    QTest::mouseClick(shown.quitButton(), Qt::LeftButton);
    EXPECT_EQ(quits, 1);

    auto* overview = qobject_cast<PanelOverviewPage*>(shown.page());
    ASSERT_TRUE(overview);
    clickOpen(overview->searchAction());
    EXPECT_EQ(state->selectedSection(), AppSection::search);
    EXPECT_EQ(opened, 3);
    clickOpen(overview->scanAction());
    EXPECT_EQ(state->selectedSection(), AppSection::storage);
    EXPECT_TRUE(state->isScanning());
    EXPECT_EQ(opened, 4);
    clickOpen(overview->scanAction());  // while one runs: only the window
    EXPECT_TRUE(state->isScanning());
    EXPECT_EQ(opened, 5);
    state->cancelScan();
    shown.show();

    // The tiles and the storage card switch the panel's tab and open nothing.
    QTest::mouseClick(overview->tile(PanelTab::memory), Qt::LeftButton);
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "memory");
    SettingsStore::shared().setValue("menuBarTab", "overview");
    QTest::mouseClick(qobject_cast<PanelOverviewPage*>(shown.page())->storageCard(), Qt::LeftButton);
    EXPECT_EQ(SettingsStore::shared().text("menuBarTab"), "disk");
    EXPECT_EQ(opened, 5);

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return row->actionError()->isVisible(); }, 5000));
    EXPECT_EQ(row->actionError()->text(), "Error: permission denied");
    EXPECT_FALSE(page->unavailable()->isVisible());
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

    ASSERT_TRUE(Settling::waitUntilStill(shown));  // laid out, as before a user's click
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
    ASSERT_TRUE(shown.isVisible());
    more->click();
    EXPECT_EQ(state->selectedSection(), AppSection::monitor);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(shown.isVisible());
}

namespace {

bool sameIds(const std::vector<MetricPoint>& shown, const std::vector<MetricPoint>& published) {
    return std::equal(shown.begin(), shown.end(), published.begin(), published.end(),
                      [](const MetricPoint& a, const MetricPoint& b) { return a.id == b.id; });
}

QString rowValue(KeyValueRow* row) { return row->findChildren<TextLabel*>().back()->text(); }

}  // namespace

TEST_F(PanelTest, AnOpenPanelShowsEachSampleWhole) {
    SettingsStore::shared().setValue("menuBarTab", "cpu");
    MenuBarPanel& shown = makePanel();
    shown.show();
    SystemMonitor& monitor = machine.monitor();
    machine.machine.write("proc/loadavg", "3.21 1.00 0.50 1/100 999\n");
    machine.step();
    auto* page = qobject_cast<PanelMetricPage*>(shown.page());
    ASSERT_TRUE(page);
    // The trend ends in the point of the sample whose figure the hero shows, beside its load average.
    EXPECT_TRUE(sameIds(page->trend()->points(), monitor.cpuHistory()));
    EXPECT_EQ(page->hero()->valueLabel()->text(), MonitorText::wholePercent(monitor.metrics().cpuUsage));
    EXPECT_EQ(rowValue(page->rows()[2]), MonitorText::loadAverage(3.21));

    SettingsStore::shared().setValue("menuBarTab", "overview");
    machine.step();
    auto* overview = qobject_cast<PanelOverviewPage*>(shown.page());
    ASSERT_TRUE(overview);
    EXPECT_EQ(overview->tileBars(PanelTab::cpu)->values(), MonitorContent::values(monitor.cpuHistory()));
    EXPECT_EQ(overview->tileBars(PanelTab::memory)->values(), MonitorContent::values(monitor.memoryHistory()));
    EXPECT_EQ(overview->tileBars(PanelTab::network)->values(), MonitorContent::values(monitor.downloadHistory()));
}

// The heights a window takes, in order.
class HeightRecorder : public QObject {
public:
    explicit HeightRecorder(QWidget& window) : window_(&window) { window.installEventFilter(this); }
    std::vector<int> heights;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Resize) heights.push_back(static_cast<QResizeEvent*>(event)->size().height());
        return false;
    }

private:
    QWidget* window_;
};

// Pages that make their rows anew must count them at once: a panel that shrinks for a moment while
// it is mapped is placed anew by the window manager, and shrinks from under a press on its footer.
TEST_F(PanelTest, APageNeverShrinksThePanelWhileItMakesItsRowsAnew) {
    for (const char* tab : {"cpu", "memory", "disk", "projects"}) {
        SettingsStore::shared().setValue("menuBarTab", tab);
        MenuBarPanel& shown = makePanel();
        shown.refresh();  // measured before it opens, as at the tray icon
        const int measured = shown.height();
        HeightRecorder recorder(shown);
        shown.show();
        QApplication::processEvents();
        machine.step(2);
        QApplication::processEvents();
        ASSERT_FALSE(recorder.heights.empty()) << tab;
        for (int height : recorder.heights) EXPECT_GE(height, measured) << tab;
        // A new tab's page is there at once, not a turn later.
        SettingsStore::shared().setValue("menuBarTab", "network");
        EXPECT_TRUE(shown.page()->isVisible()) << tab;
    }
}

// The panel's own proportions: a plain tab bar on the card colour, a 40-point figure with its unit at
// 18 points, 6 apart, and the applications' separator 6 below the last row, its own padding.
TEST_F(PanelTest, TabBarAndMetricPageKeepThePanelsProportions) {
    SettingsStore::shared().setValue("menuBarTab", "disk");
    MenuBarPanel& shown = makePanel();
    shown.show();
    QApplication::processEvents();
    auto* tabBar = shown.findChild<QWidget*>("tabBar");
    ASSERT_TRUE(tabBar);
    const QImage bar = tabBar->grab().toImage();
    EXPECT_EQ(bar.pixelColor(bar.width() / 2, 0).rgb(), DS::card.resolved().rgb());
    EXPECT_EQ(bar.pixelColor(0, bar.height() / 2).rgb(), DS::card.resolved().rgb());

    auto* page = qobject_cast<PanelMetricPage*>(shown.page());
    ASSERT_TRUE(page);
    const TextLabel* value = page->hero()->valueLabel();
    const TextLabel* unit = page->hero()->unitLabel();
    EXPECT_EQ(value->font().pixelSize(), 40);
    EXPECT_EQ(unit->font().pixelSize(), 18);
    EXPECT_EQ(unit->x() - (value->x() + value->width()), 6);
    auto* topApps = page->findChild<PanelTopApps*>();
    ASSERT_TRUE(topApps);
    EXPECT_EQ(topApps->mapTo(page, QPoint(0, 0)).y(), page->rows().back()->mapTo(page, QPoint(0, page->rows().back()->height())).y());
}

TEST(PanelTopApps, GatherUntilTheFirstRatesAndShowTheSampleThatBringsThem) {
    SettingsStore::shared().setValue("appLanguage", "en");
    MonitorFixture machine;
    machine.start();
    std::map<PanelTab, std::unique_ptr<PanelMetricPage>> pages;
    for (PanelTab tab : {PanelTab::cpu, PanelTab::memory, PanelTab::disk}) {
        PanelContext context{machine.state(), &machine.monitor(), [] { return DiskCapacityService::Capacity{}; }, Instant::now, {}, {}, nullptr, nullptr};
        pages[tab] = std::make_unique<PanelMetricPage>(tab, context);
        for (auto signal : {&SystemMonitor::metricsChanged, &SystemMonitor::appsChanged})
            QObject::connect(&machine.monitor(), signal, pages[tab].get(), &PanelMetricPage::refresh);
    }
    auto rows = [&](PanelTab tab) { return pages[tab]->topApps()->findChildren<TextLabel*>("appName").size(); };
    auto gathering = [&](PanelTab tab) { return pages[tab]->topApps()->findChild<TextLabel*>("gathering") != nullptr; };
    auto settle = [] { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); };

    // One pass over the processes: memory is known, shares and write rates are not.
    machine.step();
    settle();
    EXPECT_TRUE(gathering(PanelTab::cpu));
    EXPECT_EQ(rows(PanelTab::cpu), 0);
    EXPECT_TRUE(gathering(PanelTab::disk));
    EXPECT_EQ(rows(PanelTab::disk), 0);
    EXPECT_EQ(rows(PanelTab::memory), 5);

    // The second pass shows its rows as soon as it ends, not one sample later.
    machine.step();
    settle();
    ASSERT_TRUE(machine.monitor().measured().appRates);
    EXPECT_FALSE(gathering(PanelTab::cpu));
    ASSERT_EQ(rows(PanelTab::cpu), 5);  // the first row is read next
    EXPECT_EQ(pages[PanelTab::cpu]->topApps()->findChildren<TextLabel*>("appName").front()->text(),
              QString::fromStdString(AppRankings::byCPU(machine.monitor().apps()).front().name));
    EXPECT_EQ(rows(PanelTab::disk), 5);
    SettingsStore::shared().remove("appLanguage");
}

TEST_F(PanelTest, EveryPageShowsItsTextsWholeInEnglishAndArabic) {
    capacity = {500'000'000'000, 12'000'000'000};  // the low-space banner too
    for (const char* language : {"en", "ar"}) {
        SettingsStore::shared().setValue("appLanguage", language);
        QApplication::setLayoutDirection(QString::fromLatin1(language) == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
        MenuBarPanel& shown = makePanel();
        shown.show();
        for (PanelTab tab : PanelTabs::shown(false)) {
            if (tab == PanelTab::docker) continue;  // its texts come from Docker; its own test covers them
            shown.selectTab(tab);
            QApplication::processEvents();
            QStringList cut;
            // Application names are the user's own, and elide by design.
            for (const TextLabel* label : shown.findChildren<TextLabel*>())
                if (label->isVisible() && label->isCut() && label->objectName() != "appName") cut << label->text();
            EXPECT_EQ(cut.join(" | ").toStdString(), "") << language << " " << rawText(tab).toStdString();
        }
    }
    QApplication::setLayoutDirection(Qt::LeftToRight);
}

namespace {

std::string containerID(int i) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%04x", i);
    return std::string(60, 'a') + suffix;
}

std::string psLines(int count, const std::function<std::string(int)>& state = {}) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "box%05d", i);
        lines += R"({"ID":")" + containerID(i) + R"(","Names":")" + name + R"(","Image":"redis:7","State":")" + (state ? state(i) : "running") +
                 R"(","Status":"Up 2 hours","Ports":"0.0.0.0:6379->6379/tcp"})" + "\n";
    }
    return lines;
}

std::string statsLines(int count, const std::string& cpu) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "box%05d", i);
        lines += R"({"Name":")" + std::string(name) + R"(","CPUPerc":")" + cpu + R"(","MemUsage":"10MiB / 1GiB"})" + "\n";
    }
    return lines;
}

}  // namespace

TEST_F(PanelTest, DockerRowsUpdateInPlaceAndTheListKeepsItsScrollPosition) {
    FakeDocker docker;
    docker.answer("ps", psLines(12));
    docker.answer("stats", statsLines(12, "1.0%"));
    docker.answer("stop", "");
    SettingsStore::shared().setValue("menuBarTab", "docker");
    MenuBarPanel& shown = makePanel();
    shown.show();
    auto* page = qobject_cast<PanelDockerPage*>(shown.page());
    ASSERT_TRUE(page);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->builtRows().size() == 12; }, 5000));
    QScrollBar* bar = page->list()->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->list()->height() == PanelDockerPage::listHeight && bar->maximum() > 300; }, 5000));
    bar->setValue(300);
    const std::vector<PanelDockerRow*> rows = page->builtRows();

    // New statistics: the same rows show them, where the reader left the list.
    docker.answer("stats", statsLines(12, "7.5%"));
    page->refreshButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows[0]->container().cpu == "7.5%"; }, 5000));
    EXPECT_EQ(page->builtRows(), rows);
    EXPECT_EQ(bar->value(), 300);
    EXPECT_TRUE(rows[0]->findChild<TextLabel*>("statistics")->text().contains("7.5%"));

    // Stopping one: its row goes busy and comes back stopped, at the end of the list; no row is rebuilt.
    PanelDockerRow* stopped = rows[3];
    docker.answer("ps", psLines(12, [](int i) { return i == 3 ? "exited" : "running"; }));
    QTest::mouseClick(stopped->button(DockerAction::stop), Qt::LeftButton);
    EXPECT_FALSE(stopped->button(DockerAction::stop)->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped->button(DockerAction::start) != nullptr; }, 5000));
    EXPECT_TRUE(stopped->button(DockerAction::start)->isEnabled());
    EXPECT_EQ(page->builtRows().back(), stopped);
    auto sorted = [](std::vector<PanelDockerRow*> list) {
        std::sort(list.begin(), list.end());
        return list;
    };
    EXPECT_EQ(sorted(page->builtRows()), sorted(rows));
    EXPECT_EQ(bar->value(), 300);
    EXPECT_EQ(page->runningCount()->text(), "11");
}

TEST_F(PanelTest, DockerListFitsWrappedFailuresAndBoundsHugeOutput) {
    FakeDocker docker;
    docker.answer("ps", psLines(2));
    docker.answer("stats", "");
    QString words;
    for (int i = 0; i < 12; ++i) words += "Error response from daemon: cannot kill the container. ";
    docker.answer("kill", "", 1, words.toStdString());
    SettingsStore::shared().setValue("menuBarTab", "docker");
    MenuBarPanel& shown = makePanel();
    shown.show();
    auto* page = qobject_cast<PanelDockerPage*>(shown.page());
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->builtRows().size() == 2 && page->list()->height() > 100; }, 5000));

    // A failure wrapped over four lines: the list grows to hold the whole row, no scrolling.
    PanelDockerRow* row = page->builtRows()[0];
    QTest::mouseClick(row->button(DockerAction::kill), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return row->actionError()->isVisible(); }, 5000));
    QScrollArea* list = page->list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->widget()->height() <= list->viewport()->height(); }, 5000))
        << list->widget()->height() << " in " << list->viewport()->height();
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 0);
    EXPECT_LT(list->height(), PanelDockerPage::listHeight);
    EXPECT_EQ(row->actionError()->message(), words.trimmed());

    // 200 KB without a space: a few lines of it are laid out; the whole message is copied.
    const std::string huge(200'000, 'x');
    docker.answer("kill", "", 1, huge);
    QTest::mouseClick(row->button(DockerAction::kill), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return row->actionError()->message().size() == 200'000; }, 5000));
    EXPECT_LE(row->actionError()->text().size(), DockerMessageLabel::shownCharacters + 1);
    row->actionError()->copyAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().size(), 200'000);

    // The same for a failed listing, in the card that replaces the list.
    docker.answer("ps", "", 1, huge);
    page->refreshButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->unavailable()->isVisible(); }, 5000));
    EXPECT_EQ(page->errorText()->message().size(), 200'000);
    EXPECT_LE(page->errorText()->text().size(), DockerMessageLabel::shownCharacters + 1);
    EXPECT_LE(page->height(), 400);

    // 60,000 containers: the count and total cover all, rows are built only as far as the list is read.
    docker.answer("ps", psLines(60'000));
    page->refreshButton()->click();
    // The bounds only end a failing run: reading and sorting them takes a slow machine long.
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->list()->isVisible(); }, 120000));
    EXPECT_EQ(page->runningCount()->text(), AppLocalization::activeLocale().toString(60'000));
    EXPECT_EQ(page->total()->text(), AppLocalization::format("docker.total", {60'000LL}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->builtRows().size() == LazyRowStack::batch; }, 120000));
    ASSERT_TRUE(Settling::waitUntilStill(*page));  // no further batch follows on its own
    EXPECT_EQ(page->findChildren<PanelDockerRow*>().size(), qsizetype(LazyRowStack::batch));
    EXPECT_LE(page->list()->height(), PanelDockerPage::listHeight);
}
