#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/IsolatedText.h"
#include "Services/SystemMonitor.h"
#include "Support/FakeMachine.h"
#include "Support/FixtureRoots.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/IdleRule.h"
#include "Views/Projects/IdleServersBanner.h"
#include "Views/Projects/PortPill.h"
#include "Views/Projects/ProjectFormat.h"
#include "Views/Projects/ProjectRow.h"
#include "Views/Projects/ProjectStatusPill.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Projects/ProjectsEmptyState.h"
#include "Views/Projects/ProjectsPage.h"

#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

namespace {

const Instant now = Instant::fromReferenceSeconds(800'000'000);

// A project quiet for `quiet` seconds, started `age` seconds ago (none: unknown).
DevProject project(const std::string& name, std::vector<int> ports, double quiet, std::optional<double> age = 3600, double load = 0.5,
                   std::uint64_t memory = 100'000'000) {
    DevProject result;
    result.id = "/home/dev/" + name;
    result.name = name;
    result.root = result.id;
    result.runtime = "node";
    result.pids = {1000};
    result.memory = memory;
    result.ports = std::move(ports);
    if (age) result.startedAt = now.addingSeconds(-*age);
    result.lastActiveAt = now.addingSeconds(-quiet);
    result.lifetimeLoad = load;
    return result;
}

std::vector<int> portsShown(const QWidget& row) {
    std::vector<int> ports;
    for (const PortPill* pill : row.findChildren<PortPill*>()) ports.push_back(pill->port());
    return ports;
}

}  // namespace

TEST(IdleRule, EdgesOfQuietAndAge) {
    const double day = 86400;
    // A minute of quiet is the floor even for a server that has barely run for two days.
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {3000}, 59, 2 * day, 0.0009), now));
    EXPECT_TRUE(IdleRule::isIdleServer(project("a", {3000}, 60, 2 * day, 0.0009), now));
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {3000}, 60, 2 * day, 0.001), now));
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {3000}, 60, day, 0.0), now));  // exactly one day is not more than a day
    // Younger than a day: more than 15 minutes of quiet.
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {3000}, 900, 3600), now));
    EXPECT_TRUE(IdleRule::isIdleServer(project("a", {3000}, 901, 3600), now));
    // Unknown start: only the quiet counts.
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {3000}, 600, std::nullopt, 0), now));
    EXPECT_TRUE(IdleRule::isIdleServer(project("a", {3000}, 960, std::nullopt, 0), now));
    // No port, never idle.
    EXPECT_FALSE(IdleRule::isIdleServer(project("a", {}, 30 * day, 40 * day, 0), now));

    const auto idle = IdleRule::idleServers({project("a", {1}, 1000), project("b", {2}, 10), project("c", {3}, 2000)}, now);
    ASSERT_EQ(idle.size(), 2u);
    EXPECT_EQ(idle[0].name, "a");
    EXPECT_EQ(idle[1].name, "c");
}

TEST(ProjectStatusPill, FirstRuleThatHolds) {
    using Status = ProjectStatusPill::Status;
    EXPECT_EQ(ProjectStatusPill::status(project("a", {}, 59.9), now)->status, Status::working);
    EXPECT_FALSE(ProjectStatusPill::status(project("a", {}, 60), now));
    EXPECT_FALSE(ProjectStatusPill::status(project("a", {}, 300), now));
    const auto idle = ProjectStatusPill::status(project("a", {}, 301), now);
    ASSERT_TRUE(idle);
    EXPECT_EQ(idle->status, Status::idle);
    EXPECT_EQ(idle->text, AppLocalization::format("projects.idleFor", {ProjectFormat::duration(301)}));
    // Running for two days at almost no load names the running time, not the quiet time.
    const auto barely = ProjectStatusPill::status(project("a", {}, 3 * 3600, 2 * 86400, 0.0005), now);
    ASSERT_TRUE(barely);
    EXPECT_EQ(barely->status, Status::barelyUsed);
    EXPECT_EQ(barely->text, AppLocalization::format("projects.barelyUsed", {ProjectFormat::duration(2 * 86400)}));
    // Unknown start: never barely used.
    EXPECT_EQ(ProjectStatusPill::status(project("a", {}, 3 * 3600, std::nullopt, 0), now)->status, Status::idle);
}

// A stop that did not stop, one under way and a silent folder come before what the project does:
// on the regular row's pill, and in place of the compact row's subtitle, which has no pill.
TEST(ProjectStatusPill, StopsAndSilentFoldersComeFirst) {
    using Status = ProjectStatusPill::Status;
    DevProject web = project("web", {3000}, 10);
    web.folderAnswers = false;
    EXPECT_EQ(ProjectStatusPill::status(web, now)->status, Status::folderNotAnswering);
    web.stop = ProjectStop::stopping;
    EXPECT_EQ(ProjectStatusPill::status(web, now)->status, Status::stopping);
    web.stop = ProjectStop::stillRunning;
    const auto shown = ProjectStatusPill::status(web, now);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->status, Status::stillRunning);
    EXPECT_EQ(shown->text, AppLocalization::string("projects.stillRunning"));

    ProjectRow regular(web, false, now, [] {});
    ASSERT_TRUE(regular.findChild<ProjectStatusPill*>());
    EXPECT_EQ(regular.findChild<ProjectStatusPill*>()->text(), AppLocalization::string("projects.stillRunning"));
    EXPECT_EQ(regular.findChild<TextLabel*>("subtitle")->text(), "node");
    ProjectRow compact(web, true, now, [] {});
    EXPECT_EQ(compact.findChild<TextLabel*>("subtitle")->text(), AppLocalization::string("projects.stillRunning"));
    ProjectRow plain(project("api", {}, 10), true, now, [] {});
    EXPECT_EQ(plain.findChild<TextLabel*>("subtitle")->text(), "node");
}

TEST(ProjectFormat, TextsOfProjects) {
    const QLocale english(QLocale::English);
    EXPECT_EQ(ProjectFormat::duration(10, english), "1 minute");  // never under a minute
    EXPECT_EQ(ProjectFormat::duration(301, english), "5 minutes");
    EXPECT_EQ(ProjectFormat::duration(7200, english), "2 hours");
    EXPECT_EQ(ProjectFormat::duration(3 * 86400, english), "3 days");

    EXPECT_EQ(ProjectFormat::ports({project("a", {5173}, 0), project("b", {3000, 8080}, 0)}), "3000, 5173, 8080");
    EXPECT_EQ(ProjectFormat::ports({project("a", {3000}, 0), project("b", {3000}, 0)}), "3000, 3000");
    EXPECT_EQ(ProjectFormat::ports({}), "");

    DevProject one = project("a", {}, 0);
    EXPECT_EQ(ProjectFormat::subtitle(one), "node");
    one.pids.clear();
    EXPECT_EQ(ProjectFormat::subtitle(one), "node");
    one.pids = {1, 2};
    EXPECT_EQ(ProjectFormat::subtitle(one), AppLocalization::format("monitor.processCount", {2}));
    one.pids = {1};
    one.runtime = "deno\u202Eexe";  // an unknown runtime is the program's own name
    EXPECT_EQ(ProjectFormat::subtitle(one), "deno[U+202E]exe");

    // Memory sums stop at the largest signed value instead of wrapping.
    const auto huge = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(ProjectFormat::memory({project("a", {}, 0, 1, 1, huge), project("b", {}, 0, 1, 1, huge)}),
              ByteFormatting::string(std::numeric_limits<std::int64_t>::max()));
}

TEST(IdleServersBanner, CountMemoryAndSortedPorts) {
    const std::vector<DevProject> idle{project("a", {3000}, 1000), project("b", {8080}, 1000), project("c", {5173, 5174}, 1000)};
    int stops = 0;
    IdleServersBanner banner(idle, [&] { ++stops; });
    EXPECT_EQ(IdleServersBanner::title(idle), AppLocalization::format("projects.banner.title", {3}));
    const QString detail = IdleServersBanner::detail(idle);
    EXPECT_TRUE(detail.contains(ByteFormatting::string(std::int64_t(300'000'000)))) << detail.toStdString();
    EXPECT_TRUE(detail.contains("3000, 5173, 5174, 8080")) << detail.toStdString();
    QTest::mouseClick(banner.stopAllButton(), Qt::LeftButton);
    EXPECT_EQ(stops, 1);
}

TEST(ProjectRow, PortsDotAndStopByForm) {
    DevProject five = project("web", {3000, 3001, 3002, 3003, 3004}, 10);
    five.memory = std::numeric_limits<std::uint64_t>::max();
    int stops = 0;
    ProjectRow regular(five, false, now, [&] { ++stops; });
    ProjectRow compact(five, true, now, [&] { ++stops; });
    EXPECT_EQ(portsShown(regular), (std::vector<int>{3000, 3001, 3002}));
    EXPECT_EQ(portsShown(compact), (std::vector<int>{3000}));
    EXPECT_EQ(regular.findChild<TextLabel*>("memory")->text(), ByteFormatting::string(std::numeric_limits<std::int64_t>::max()));
    ASSERT_TRUE(regular.findChild<ProjectStatusPill*>());
    EXPECT_EQ(regular.findChild<ProjectStatusPill*>()->text(), AppLocalization::string("projects.working"));
    EXPECT_FALSE(compact.findChild<ProjectStatusPill*>());
    ASSERT_TRUE(compact.workingDot());
    EXPECT_FALSE(compact.stopButton());
    ASSERT_TRUE(regular.stopButton());
    QTest::mouseClick(regular.stopButton(), Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(regular.isHovering());

    ProjectRow quiet(project("api", {}, 60), true, now, [] {});
    EXPECT_FALSE(quiet.workingDot());  // a minute of quiet is no longer working
    EXPECT_TRUE(portsShown(quiet).empty());
    ProjectRow quietRegular(project("api", {}, 60), false, now, [] {});
    EXPECT_TRUE(portsShown(quietRegular).empty());
    EXPECT_FALSE(quietRegular.findChild<ProjectStatusPill*>());
}

TEST(ProjectsPage, TilesBannerAndRows) {
    ProjectsPage page(nullptr, nullptr, [] { return now; });
    // Nothing running: zero tiles and the empty state, no banner.
    EXPECT_EQ(page.findChild<StatTile*>("projects.count")->valueLabel()->text(), "0");
    EXPECT_EQ(page.findChild<StatTile*>("projects.memory")->valueLabel()->text(), ByteFormatting::string(std::int64_t(0)));
    EXPECT_TRUE(page.findChild<ProjectsEmptyState*>());
    EXPECT_FALSE(page.findChild<IdleServersBanner*>());

    page.present({project("a", {3000, 3001}, 10), project("b", {3000}, 2000), project("c", {}, 2000)}, now);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page.findChild<StatTile*>("projects.ports")->valueLabel()->text(), "3");  // a shared port counts twice
    EXPECT_EQ(page.findChild<StatTile*>("projects.idle")->valueLabel()->text(), "1");
    EXPECT_TRUE(page.findChild<IdleServersBanner*>());
    EXPECT_FALSE(page.findChild<ProjectsEmptyState*>());
    EXPECT_EQ(page.findChildren<ProjectRow*>().size(), 3);
}

TEST(ProjectsPage, ARowsMenuOutlivesTheRowsOfARepublishedList) {
    ProjectsPage page(nullptr, nullptr, [] { return now; });
    page.resize(800, 500);
    page.show();
    page.present({project("web", {3000}, 10)}, now);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProjectRow* row = page.findChild<ProjectRow*>();
    ASSERT_TRUE(row);

    bool menuShown = false;
    bool openAfterRefresh = false;
    QTimer::singleShot(0, &page, [&] {
        QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        menuShown = menu;
        if (!menu) return;
        // The monitor republishes the list (every two seconds) while the user reads the menu.
        page.present({project("web", {3000}, 12)}, now);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        openAfterRefresh = menu && menu->isVisible();
        if (menu) menu->close();
    });
    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(5, 5), row->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(row, &open);
    ASSERT_TRUE(menuShown);
    EXPECT_TRUE(openAfterRefresh);
}

namespace {

// A monitor over a fake machine with one node server, whose stops are recorded instead of sent.
class StopConfirmationTest : public ::testing::Test {
protected:
    StopConfirmationTest() {
        machine.write("proc/meminfo", "MemTotal: 8000 kB\nMemFree: 1000 kB\n");
        machine.write("home/web/package.json", "{}");
        machine.write("home/api/package.json", "{}");
        machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 9, .rssPages = 4});
        machine.process({.pid = 60, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "api").native(), .startTicks = 9, .rssPages = 2});
        SystemMonitor::Environment environment;
        environment.interval = std::chrono::hours(24);  // never by itself: the test runs the cycles
        environment.terminate = [this](const ProcessIdentity& process) {
            signalled.push_back(process);
            return answer;
        };
        monitor = std::make_unique<SystemMonitor>(environment);
        monitor->start();
        waitForProcessPass();
        runCycles(2);
    }

    // Each cycle with its pass over the processes, when it starts one.
    void runCycles(long long cycles) {
        for (long long cycle = 0; cycle < cycles; ++cycle) {
            QMetaObject::invokeMethod(monitor->findChild<QTimer*>(), "timeout");
            waitForProcessPass();
        }
    }
    void waitForProcessPass() {
        while (monitor->processPassRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    DevProject listed(const std::string& name) const {
        for (const DevProject& project : monitor->projects())
            if (project.name == name) return project;
        ADD_FAILURE() << name << " is not listed";
        return {};
    }

    FakeMachine machine;
    FixtureRoots roots{machine.tree.path()};
    std::vector<ProcessIdentity> signalled;
    TerminationResult answer = TerminationResult::signalled;
    std::unique_ptr<SystemMonitor> monitor;
    QWidget owner;
};

}  // namespace

TEST_F(StopConfirmationTest, CancelStopsNothingAndConfirmStopsExactlyThePending) {
    ASSERT_EQ(monitor->projects().size(), 2u);
    ProjectStopConfirmation confirmation(monitor.get(), &owner);
    confirmation.request({listed("web")});
    ASSERT_TRUE(confirmation.dialog()->isVisible());
    EXPECT_TRUE(confirmation.dialog()->informativeText().contains("web"));
    confirmation.cancelButton()->click();
    EXPECT_TRUE(confirmation.pending().empty());
    EXPECT_FALSE(confirmation.dialog()->isVisible());
    EXPECT_TRUE(signalled.empty());
    EXPECT_EQ(monitor->projects().size(), 2u);

    confirmation.request({listed("web")});
    confirmation.stopButton()->click();
    EXPECT_TRUE(confirmation.pending().empty());
    EXPECT_FALSE(confirmation.dialog()->isVisible());
    EXPECT_EQ(signalled, (std::vector<ProcessIdentity>{{50, 9, "/usr/bin/node"}}));
    // Listed as stopping until its process ends.
    ASSERT_EQ(monitor->projects().size(), 2u);
    EXPECT_EQ(listed("web").stop, ProjectStop::stopping);
    EXPECT_EQ(listed("api").stop, ProjectStop::none);
    EXPECT_FALSE(confirmation.failureNotice());
}

TEST_F(StopConfirmationTest, AReplacedProcessIsNotSignalledAndFailuresAreNamed) {
    ProjectStopConfirmation confirmation(monitor.get(), &owner);
    confirmation.request({listed("web"), listed("api")});
    // While the dialog stays open, the web server ends and another process gets its id.
    machine.process({.pid = 50, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 99, .rssPages = 4});
    runCycles(2);
    answer = TerminationResult::failed;  // and api's process belongs to someone else
    confirmation.stopButton()->click();
    EXPECT_EQ(signalled, (std::vector<ProcessIdentity>{{60, 9, "/usr/bin/node"}}));
    ASSERT_TRUE(confirmation.failureNotice());
    // Both are named: api as refused, web as changed since the question.
    EXPECT_EQ(confirmation.failureNotice()->text(), AppLocalization::format("projects.stopFailed.title", {2LL}));
    const QStringList details = confirmation.failureNotice()->informativeText().split("\n\n");
    ASSERT_EQ(details.size(), 2);
    EXPECT_TRUE(details[0].contains("api") && !details[0].contains("web"));
    EXPECT_EQ(details[1], AppLocalization::format("projects.stopChanged.detail", {isolatedText("web")}));
}

// The only project asked for restarted while the dialog was open: nothing is signalled, and the
// user is told why rather than left with a silent button.
TEST_F(StopConfirmationTest, AProjectThatRestartedIsNamedAsChanged) {
    ProjectStopConfirmation confirmation(monitor.get(), &owner);
    confirmation.request({listed("web")});
    machine.process({.pid = 51, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "web").native(), .startTicks = 99, .rssPages = 4});
    machine.removeProcess(50);
    runCycles(2);
    ASSERT_EQ(listed("web").processes, (std::vector<ProcessIdentity>{{51, 99, "/usr/bin/node"}}));
    confirmation.stopButton()->click();
    EXPECT_TRUE(signalled.empty());
    ASSERT_TRUE(confirmation.failureNotice());
    EXPECT_EQ(confirmation.failureNotice()->text(), AppLocalization::format("projects.stopFailed.title", {1LL}));
    EXPECT_EQ(confirmation.failureNotice()->informativeText(), AppLocalization::format("projects.stopChanged.detail", {isolatedText("web")}));
    EXPECT_EQ(monitor->projects().size(), 2u);
}

TEST(ProjectStopConfirmation, ResolvesAgainstTheCurrentList) {
    DevProject asked = project("web", {3000}, 0);
    asked.processes = {{50, 9, "/usr/bin/node"}, {51, 9, "/usr/bin/node"}};
    DevProject now = asked;
    now.processes = {{50, 9, "/usr/bin/node"}, {51, 70, "/usr/bin/node"}, {52, 71, "/usr/bin/node"}};
    const auto resolved = ProjectStopConfirmation::resolve({asked, project("gone", {}, 0)}, {now});
    const auto& targets = resolved.targets;
    ASSERT_EQ(targets.size(), 1u);  // a project no longer listed has nothing left to stop
    EXPECT_TRUE(resolved.changed.empty());
    EXPECT_EQ(targets[0].processes, (std::vector<ProcessIdentity>{{50, 9, "/usr/bin/node"}}));
    EXPECT_EQ(targets[0].pids, (std::vector<std::int32_t>{50}));
    DevProject replaced = now;
    replaced.processes = {{50, 80, "/usr/bin/node"}};
    const auto restarted = ProjectStopConfirmation::resolve({asked}, {replaced});
    EXPECT_TRUE(restarted.targets.empty());
    ASSERT_EQ(restarted.changed.size(), 1u);
    EXPECT_EQ(restarted.changed[0].processes, replaced.processes);
}
