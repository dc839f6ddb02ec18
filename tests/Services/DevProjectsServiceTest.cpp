#include "Services/DevProjectsService.h"
#include "Support/FakeMachine.h"
#include "Support/ForkedChild.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class DevProjectsServiceTest : public ::testing::Test {
protected:
    std::string home() const { return machine.home().native(); }
    std::filesystem::path folder(const std::string& relative) const { return machine.tree.folder("home/" + relative); }

    // A developer process working in `cwd`, known to the fake /proc.
    DevProcessSample sample(int pid, const std::string& executable, const std::string& cwd, std::uint64_t memory = 0,
                            double coreShare = 0, double cpuTime = 0, std::optional<Instant> startedAt = std::nullopt,
                            std::vector<std::uint64_t> sockets = {}) {
        machine.process({.pid = pid, .comm = executable, .exe = "/usr/bin/" + executable, .cwd = cwd, .startTicks = 7,
                         .socketInodes = std::move(sockets)});
        DevProcessSample result;
        result.pid = pid;
        result.executable = executable;
        result.memory = memory;
        result.coreShare = coreShare;
        result.cpuShare = coreShare / 4;
        result.cpuTime = cpuTime;
        result.startedAt = startedAt;
        result.identity = ProcessIdentity{pid, 7, "/usr/bin/" + executable};
        return result;
    }

    FakeMachine machine;
    Instant launch = Instant::fromReferenceSeconds(100000);
    std::vector<ProcessIdentity> signalled;
    TerminationResult answer = TerminationResult::signalled;
    DevProjectsService service{machine.roots(),
                               [this](const ProcessIdentity& process) {
                                   signalled.push_back(process);
                                   return answer;
                               },
                               launch};
};

}  // namespace

TEST(DevRuntimes, MatchedByProgramOrCommandNameAndRankedByPriority) {
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/usr/bin/node", "node"));
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/usr/bin/python3.11", "python3"));
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/usr/bin/ruby3.1", "ruby3.1"));
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/usr/bin/php8.2", "php8.2"));
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/usr/bin/python3.11", "gunicorn"));
    EXPECT_TRUE(DevProjectsService::isDevRuntime("/srv/app/node_modules/.bin/tool", "tool"));
    EXPECT_FALSE(DevProjectsService::isDevRuntime("/usr/bin/bash", "bash"));
    EXPECT_FALSE(DevProjectsService::isDevRuntime("/usr/sbin/php-fpm8.2", "php-fpm8.2"));
    EXPECT_FALSE(DevProjectsService::isDevRuntime("/usr/bin/node.", "x"));
    EXPECT_FALSE(DevProjectsService::isDevRuntime("/usr/bin/2", "3.1"));
    EXPECT_EQ(DevProjectsService::executableName("/usr/bin/python3.11", "gunicorn"), "python3.11");
    EXPECT_EQ(DevProjectsService::executableName("/usr/bin/env", "puma"), "puma");

    EXPECT_EQ(DevProjectsService::dominantRuntime({"python3.11", "node"}), "node");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"gunicorn", "python3"}), "python");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"vite"}), "vite");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"puma", "ruby3.1"}), "ruby");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"php8.2"}), "php");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"Python"}), "python");
    EXPECT_EQ(DevProjectsService::dominantRuntime({"java", "dotnet", "bun"}), "bun");
    EXPECT_EQ(DevProjectsService::dominantRuntime({}), "process");
}

namespace {

std::optional<DevProjectsService::ProjectRoot> root(const std::filesystem::path& folder) { return DevProjectsService::ProjectRoot{folder}; }

}  // namespace

TEST_F(DevProjectsServiceTest, ProjectRoots) {
    machine.write("home/code/web/package.json", "{}");
    folder("code/web/src/a/b");
    EXPECT_EQ(service.projectRoot(home() + "/code/web/src/a/b"), root(machine.home() / "code/web"));

    // The home folder itself and everything outside it belong to no project.
    machine.write("home/package.json", "{}");
    EXPECT_FALSE(service.projectRoot(home()));
    EXPECT_FALSE(service.projectRoot(home() + "/"));
    EXPECT_FALSE(service.projectRoot("/tmp/web"));
    EXPECT_FALSE(service.projectRoot(home() + "other/web"));  // a sibling whose name starts like home

    // The working folder and five parents are searched, no further.
    machine.write("home/deep/Cargo.toml", "");
    folder("deep/1/2/3/4/5/6");
    EXPECT_EQ(service.projectRoot(home() + "/deep/1/2/3/4/5"), root(machine.home() / "deep"));
    EXPECT_EQ(service.projectRoot(home() + "/deep/1/2/3/4/5/6"), root(machine.home() / "deep/1/2/3/4/5/6"));

    // No marker: the folder itself, unless it lies in a hidden folder of home.
    folder("scratch/tool");
    EXPECT_EQ(service.projectRoot(home() + "/scratch/tool"), root(machine.home() / "scratch/tool"));
    folder(".vscode-server/bin/x");
    EXPECT_FALSE(service.projectRoot(home() + "/.vscode-server/bin/x"));
    machine.write("home/.config/widget/.git/HEAD", "");
    EXPECT_EQ(service.projectRoot(home() + "/.config/widget"), root(machine.home() / ".config/widget"));

    // A root once found stays, even when markers come later.
    machine.write("home/scratch/package.json", "{}");
    EXPECT_EQ(service.projectRoot(home() + "/scratch/tool"), root(machine.home() / "scratch/tool"));
}

TEST_F(DevProjectsServiceTest, ProjectsGroupProcessesWithPortsActivityAndLoad) {
    machine.write("home/api/pyproject.toml", "");
    machine.write("home/web/package.json", "{}");
    folder("web/server");
    machine.tcp({{8080, "0A", 501}, {5173, "0A", 502}, {45000, "01", 503}});
    machine.tcp({{8080, "0A", 601}}, true);
    Instant now = launch.addingSeconds(600);
    std::vector<DevProcessSample> samples = {
        sample(20, "gunicorn", home() + "/api", 100, 0.004, 30, launch.addingSeconds(-3600)),
        sample(21, "node", home() + "/web/server", 300, 0.005, 0, now.addingSeconds(-0.5), {501, 503, 601}),
        sample(22, "python3", home() + "/api", 50, 0.005, 90, launch.addingSeconds(-1800), {}),
        sample(23, "vite", home() + "/web", 10, 0, 0, std::nullopt, {502, 601}),
        sample(24, "node", "/opt/elsewhere", 999),
        sample(25, "node", home(), 999),
    };
    machine.removeProcess(25);  // ended: no working folder to read
    // The shared memory a project's processes map counts once, as the most any one of them maps.
    samples[0].sharedMemory = 40;
    samples[2].sharedMemory = 30;
    auto projects = service.projects(samples, now);
    ASSERT_EQ(projects.size(), 2u);

    const DevProject& web = projects[0];  // largest memory first
    EXPECT_EQ(web.id, home() + "/web");
    EXPECT_EQ(web.name, "web");
    EXPECT_EQ(web.root, machine.home() / "web");
    EXPECT_EQ(web.runtime, "node");
    EXPECT_EQ(web.pids, (std::vector<std::int32_t>{21, 23}));
    EXPECT_EQ(web.memory, 310u);
    EXPECT_EQ(web.ports, (std::vector<int>{5173, 8080}));  // 8080 on IPv4 and IPv6 counted once
    EXPECT_EQ(web.processes[0], (ProcessIdentity{21, 7, "/usr/bin/node"}));
    // Started after launch and never busy: last active when it started; its age is at least 1 s.
    EXPECT_EQ(web.lastActiveAt, now.addingSeconds(-0.5));
    EXPECT_EQ(web.startedAt, now.addingSeconds(-0.5));

    const DevProject& api = projects[1];
    EXPECT_EQ(api.runtime, "python");
    EXPECT_EQ(api.memory, 150u + 40);
    EXPECT_TRUE(api.ports.empty());
    EXPECT_DOUBLE_EQ(api.cpu, 0.009 / 4);
    EXPECT_EQ(api.startedAt, launch.addingSeconds(-3600));
    // 0.9 % of a core is idle; started long before launch: launch time less 61 s.
    EXPECT_EQ(api.lastActiveAt, launch.addingSeconds(-61));
    EXPECT_DOUBLE_EQ(api.lifetimeLoad, 120.0 / (3600 + 600));

    // At 3 % of a core it is active now; at 1 % later it keeps that time.
    samples[0].coreShare = 0.03;
    auto busy = service.projects({samples[0], samples[2]}, now.addingSeconds(2));
    EXPECT_EQ(busy[0].lastActiveAt, now.addingSeconds(2));
    samples[0].coreShare = 0.01;
    auto quiet = service.projects({samples[0], samples[2]}, now.addingSeconds(4));
    EXPECT_EQ(quiet[0].lastActiveAt, now.addingSeconds(2));
}

TEST_F(DevProjectsServiceTest, StopChecksEveryProcessAndReportsWhatFailed) {
    machine.write("home/api/go.mod", "");
    machine.write("home/web/package.json", "{}");
    Instant now = launch.addingSeconds(10);
    auto projects = service.projects({sample(30, "air", home() + "/api", 1, 1.0, 0, launch.addingSeconds(-500)),
                                      sample(31, "node", home() + "/web", 2), sample(32, "node", home() + "/web", 2)},
                                     now);
    ASSERT_EQ(projects.size(), 2u);
    const DevProject& web = projects[0];
    const DevProject& api = projects[1];
    EXPECT_EQ(api.lastActiveAt, now);

    EXPECT_TRUE(service.stop({web, api}).empty());
    EXPECT_EQ(signalled, (std::vector<ProcessIdentity>{{31, 7, "/usr/bin/node"}, {32, 7, "/usr/bin/node"}, {30, 7, "/usr/bin/air"}}));
    // Stopping forgets the activity: if it survives, it falls back to the start-time rule.
    auto again = service.projects({sample(30, "air", home() + "/api", 1, 0, 0, launch.addingSeconds(-500))}, now);
    EXPECT_EQ(again[0].lastActiveAt, launch.addingSeconds(-61));

    // A process that could not be signalled makes its project's stop fail, and it stays remembered.
    answer = TerminationResult::failed;
    auto failed = service.stop({api});
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].id, api.id);
    answer = TerminationResult::gone;  // ended or replaced meanwhile: nothing left to stop
    EXPECT_TRUE(service.stop({api}).empty());
}

// A project folder on a FUSE file system whose daemon never answers (the test holds the device and
// never reads it, so every look into the mount waits): the look gives up at its limit, the project is
// the working folder and says its folder does not answer, and the folder is not looked into again
// while that look waits. Other projects are found as ever.
TEST_F(DevProjectsServiceTest, AFolderOnASilentFuseFileSystemIsReportedAndNotWaitedFor) {
    if (!ForkedChild::isRoot() || !std::filesystem::exists("/dev/fuse")) GTEST_SKIP() << "FUSE needs root and /dev/fuse";
    machine.write("home/web/package.json", "{}");
    const std::filesystem::path mountPoint = folder("remote");
    const std::string result = ForkedChild::runInMountNamespace([&] {
        const int device = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        const std::string options = "fd=" + std::to_string(device) + ",rootmode=40000,user_id=0,group_id=0";
        if (device < 0 || ::mount("silent", mountPoint.c_str(), "fuse.silent", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
            return std::string(ForkedChild::mountFailed);
        DevProjectsService looking(machine.roots(), [](const ProcessIdentity&) { return TerminationResult::signalled; }, launch,
                                   DevProjectsService::holdsMarker, std::chrono::milliseconds(50));
        std::string failures;
        const std::string silent = home() + "/remote/src";
        for (int look = 0; look < 3; ++look) {
            const auto root = looking.projectRoot(silent);
            ForkedChild::check(failures, root == DevProjectsService::ProjectRoot{silent, false}, "look " + std::to_string(look));
        }
        const auto projects = looking.projects({sample(50, "node", silent), sample(60, "node", home() + "/web")}, launch);
        ForkedChild::check(failures, projects.size() == 2, "two projects");
        for (const DevProject& project : projects)
            ForkedChild::check(failures, project.folderAnswers == (project.name == "web"), project.name + " answers");
        ::close(device);  // ends the connection: the waiting look fails, and its thread ends
        ::umount2(mountPoint.c_str(), MNT_DETACH);
        return failures;
    });
    if (ForkedChild::cannotMount(result)) GTEST_SKIP() << "FUSE cannot be mounted here";
    EXPECT_EQ(result, "");
}
