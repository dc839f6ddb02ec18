#include "Services/AppUsageSampler.h"
#include "Support/FakeMachine.h"
#include "Support/KernelWriteCount.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const AppUsage* row(const AppUsagePass& pass, const std::string& id) {
    for (const AppUsage& app : pass.apps)
        if (app.id == id) return &app;
    return nullptr;
}

// A copy of /bin/sh under a name of its own running `script`, talked to through pipes; told to end
// and reaped when the test ends, whatever happened.
class ScriptedShell {
public:
    ScriptedShell(const std::filesystem::path& program, const std::string& script, const std::filesystem::path& argument) {
        std::filesystem::copy_file("/bin/sh", program);
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        std::string name = program.filename().string(), dashC = "-c", body = script, value = argument.string();
        char* arguments[] = {name.data(), dashC.data(), body.data(), name.data(), value.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, arguments, environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        toShell_ = input[1];
        fromShell_ = ::fdopen(output[0], "r");
    }
    ~ScriptedShell() {
        if (toShell_ >= 0) ::close(toShell_);  // its next read ends the script
        if (fromShell_) std::fclose(fromShell_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    pid_t pid() const { return pid_; }
    void say(const std::string& line) { EXPECT_EQ(::write(toShell_, (line + "\n").data(), line.size() + 1), static_cast<ssize_t>(line.size() + 1)); }
    std::string nextLine() {
        char line[256] = {};
        if (!fromShell_ || !std::fgets(line, sizeof line, fromShell_)) return "";
        return std::string(line, std::strcspn(line, "\n"));
    }

private:
    pid_t pid_ = 0;
    int toShell_ = -1;
    std::FILE* fromShell_ = nullptr;
};

const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));

}  // namespace

TEST(AppUsageSampler, GroupsByProgramNameAndMeasuresAgainstThePreviousPass) {
    FakeMachine machine;
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 1000, .startTicks = 50,
                     .rssPages = 1000, .writeBytes = 0});
    machine.process({.pid = 101, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 500, .startTicks = 60,
                     .rssPages = 500, .writeBytes = 1000});
    machine.process({.pid = 200, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 70, .rssPages = 10});
    machine.process({.pid = 201, .comm = "bash", .exe = "/opt/other/bash (deleted)", .startTicks = 80, .rssPages = 20});
    machine.process({.pid = 2, .comm = "kthreadd"});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(5000);

    // First pass: rows, but no shares or write rates yet.
    auto first = sampler.sampleApps(start, 4);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->hadPreviousPass);
    ASSERT_EQ(first->apps.size(), 2u);
    const AppUsage* firefox = row(*first, "firefox-esr");
    ASSERT_TRUE(firefox);
    EXPECT_EQ(firefox->processCount, 2);
    EXPECT_EQ(firefox->memory, 1500 * page);
    EXPECT_EQ(firefox->cpu, 0);
    EXPECT_EQ(firefox->iconPath, "/usr/lib/firefox-esr/firefox-esr");
    const AppUsage* bash = row(*first, "bash");
    ASSERT_TRUE(bash);
    EXPECT_EQ(bash->processCount, 2);  // two programs of one name share a row, iconed by the first
    EXPECT_EQ(bash->iconPath, "/usr/bin/bash");

    // Two seconds later: 2 cores' worth of ticks over 4 cores is a half; 1 MB written in 2 s.
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr",
                     .utime = 1000 + static_cast<std::uint64_t>(3 * ticksPerSecond), .startTicks = 50, .rssPages = 1000,
                     .writeBytes = 1000000});
    machine.process({.pid = 101, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr", .utime = 500,
                     .stime = static_cast<std::uint64_t>(ticksPerSecond), .startTicks = 60, .rssPages = 500, .writeBytes = 1000});
    auto second = sampler.sampleApps(start.addingSeconds(2), 4);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->hadPreviousPass);
    firefox = row(*second, "firefox-esr");
    EXPECT_NEAR(firefox->cpu, 0.5, 1e-9);
    EXPECT_EQ(firefox->diskWritePerSecond, 500000u);

    // Far more ticks than the interval allows (clock jitter): capped at the whole machine.
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr",
                     .utime = 1000 + static_cast<std::uint64_t>(100 * ticksPerSecond), .startTicks = 50, .rssPages = 1000,
                     .writeBytes = 1000000});
    auto third = sampler.sampleApps(start.addingSeconds(2.1), 4);  // 0.1 s later, measured over the 0.5 s floor
    EXPECT_EQ(row(*third, "firefox-esr")->cpu, 1.0);
}

TEST(AppUsageSampler, ReusedProcessIdStartsFromZero) {
    FakeMachine machine;
    machine.process({.pid = 300, .comm = "make", .exe = "/usr/bin/make", .utime = 100, .startTicks = 1000, .writeBytes = 100});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The id now belongs to a new process whose counters happen to be higher: not a share of 10 cores.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus",
                     .utime = 100 + static_cast<std::uint64_t>(20 * ticksPerSecond), .startTicks = 1500, .writeBytes = 900000});
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    const AppUsage* compiler = row(*pass, "cc1plus");
    ASSERT_TRUE(compiler);
    EXPECT_EQ(compiler->cpu, 0);
    EXPECT_EQ(compiler->diskWritePerSecond, 0u);

    // And a counter that went back within one process counts 0 too.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus", .utime = 5, .startTicks = 1500, .writeBytes = 10});
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(row(*pass, "cc1plus")->cpu, 0);
    EXPECT_EQ(row(*pass, "cc1plus")->diskWritePerSecond, 0u);
}

TEST(AppUsageSampler, ChargesAProcessWithWhatItsOwnThreadsWrote) {
    FakeMachine machine;
    machine.process({.pid = 400, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 10, .writeBytes = 1000});
    machine.process({.pid = 500, .comm = "ninja", .exe = "/usr/bin/ninja", .startTicks = 20, .writeBytes = 12'000,
                     .threads = {{500, 20, 0}, {501, 30, 10'000}, {502, 40, 2000}}});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The shell reaped a child that wrote 50 MB and wrote 4000 bytes itself: the kernel adds the
    // child's bytes to the shell's io file in one step. Ninja reaped a compiler that wrote 30 MB; its
    // thread 501 ended (its bytes stay in the process's total), 502 wrote 4000 more and a new thread
    // 503 wrote 2000.
    machine.process({.pid = 400, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 10, .writeBytes = 50'005'000,
                     .threads = {{400, 10, 5000}}});
    machine.process({.pid = 500, .comm = "ninja", .exe = "/usr/bin/ninja", .startTicks = 20, .writeBytes = 30'018'000,
                     .threads = {{500, 20, 0}, {502, 40, 6000}, {503, 50, 2000}}});
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(row(*pass, "bash")->diskWritePerSecond, 2000u);
    EXPECT_EQ(row(*pass, "ninja")->diskWritePerSecond, 3000u);

    // Thread 502 ended and its id went to a new thread, which has written less so far: all of it is
    // new. The shell wrote nothing.
    machine.process({.pid = 500, .comm = "ninja", .exe = "/usr/bin/ninja", .startTicks = 20, .writeBytes = 30'025'000,
                     .threads = {{500, 20, 0}, {502, 60, 700}, {503, 50, 2000}}});
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(row(*pass, "ninja")->diskWritePerSecond, 350u);
    EXPECT_EQ(row(*pass, "bash")->diskWritePerSecond, 0u);

    // And then wrote 3000 bytes: measured from what it had written before it stood still.
    machine.process({.pid = 400, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 10, .writeBytes = 50'008'000,
                     .threads = {{400, 10, 8000}}});
    pass = sampler.sampleApps(start.addingSeconds(6), 1);
    EXPECT_EQ(row(*pass, "bash")->diskWritePerSecond, 1500u);
}

TEST(AppUsageSampler, LeavesAReapedChildsWritesOutOfItsParentOnTheKernelsCounters) {
    TempTree tree;
    ScriptedShell shell(tree.path() / "reaping-shell",
                        "echo ready; read go; dd if=/dev/zero of=\"$1\" bs=1M count=8 2>/dev/null; echo reaped; read go",
                        tree.path() / "written");
    ASSERT_GT(shell.pid(), 0);
    ASSERT_EQ(shell.nextLine(), "ready");
    SystemRoots roots = SystemRoots::fixture(tree.path());
    roots.proc = "/proc";
    AppUsageSampler sampler(roots, {});
    const std::filesystem::path processTotal = "/proc/" + std::to_string(shell.pid()) + "/io";
    const std::uint64_t totalBefore = kernelWriteCount(processTotal);
    Instant start = Instant::fromReferenceSeconds(0);
    ASSERT_TRUE(sampler.sampleApps(start, 1));

    shell.say("go");
    ASSERT_EQ(shell.nextLine(), "reaped");
    const std::uint64_t totalAfter = kernelWriteCount(processTotal);
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    if (totalAfter - totalBefore < 8u << 20) GTEST_SKIP() << "this file system does not count what is written to it";
    const AppUsage* parent = row(*pass, "reaping-shell");
    ASSERT_TRUE(parent);
    EXPECT_EQ(parent->processCount, 1);
    EXPECT_EQ(parent->diskWritePerSecond, 0u);  // not the 4 MiB/s the process's own total grew by
}

TEST(AppUsageSampler, CollectsDeveloperRuntimesByProgramAndCommandName) {
    FakeMachine machine;
    machine.process({.pid = 10, .comm = "ruby", .exe = "/usr/bin/ruby3.1", .utime = 250, .startTicks = 100, .rssPages = 7});
    machine.process({.pid = 11, .comm = "php-fpm8.2", .exe = "/usr/sbin/php-fpm8.2", .startTicks = 100});
    machine.process({.pid = 12, .comm = "php8.2", .exe = "/usr/bin/php8.2", .startTicks = 100});
    machine.process({.pid = 13, .comm = "gunicorn", .exe = "/usr/bin/python3.11", .startTicks = 100});
    machine.process({.pid = 14, .comm = "esbuild", .exe = "/home/u/web/node_modules/@esbuild/linux-x64/bin/esbuild", .startTicks = 100});
    machine.process({.pid = 15, .comm = "puma", .exe = "/usr/bin/env", .startTicks = 100});
    machine.process({.pid = 16, .comm = "bash", .exe = "/usr/bin/bash", .startTicks = 100});
    AppUsageSampler sampler(machine.roots());
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(0), 2);
    ASSERT_TRUE(pass);
    std::map<std::int32_t, DevProcessSample> samples;
    for (const DevProcessSample& sample : pass->devSamples) samples[sample.pid] = sample;
    EXPECT_EQ(samples.size(), 5u);
    EXPECT_EQ(samples[10].executable, "ruby3.1");
    EXPECT_DOUBLE_EQ(samples[10].cpuTime, 250 / ticksPerSecond);
    EXPECT_EQ(samples[10].memory, 7 * page);
    EXPECT_EQ(samples[10].identity, (ProcessIdentity{10, 100, "/usr/bin/ruby3.1"}));
    EXPECT_NEAR(samples[10].startedAt->unixSeconds(), FakeMachine::bootTime + 100 / ticksPerSecond, 1e-3);
    EXPECT_EQ(samples[12].executable, "php8.2");
    EXPECT_EQ(samples[13].executable, "python3.11");
    EXPECT_EQ(samples[14].executable, "esbuild");
    EXPECT_EQ(samples[15].executable, "puma");  // only the command name names the runtime
    EXPECT_FALSE(samples.count(11));  // php-fpm is a service, not a development server
}

TEST(AppUsageSampler, GroupsProcessesUnderTheirInstalledApplication) {
    FakeMachine machine;
    auto entry = [&](const std::string& folder, const std::string& id, const std::string& body) {
        machine.write(folder + "/applications/" + id, "[Desktop Entry]\nType=Application\n" + body);
    };
    // /usr/bin/firefox is a link to the real program, which is what the exe link shows.
    machine.tree.file("usr/lib/firefox/firefox");
    std::filesystem::create_directories(machine.tree.path() / "usr/bin");
    std::filesystem::create_symlink("../lib/firefox/firefox", machine.tree.path() / "usr/bin/firefox");
    machine.tree.file("usr/bin/gedit");
    entry("usr/share", "org.mozilla.firefox.desktop", "Name=Firefox\nExec=firefox %u\nIcon=firefox\n");
    entry("home/.local/share", "org.mozilla.firefox.desktop", "Name=My Firefox\nExec=firefox --private %u\nIcon=/opt/fx.png\n");
    entry("usr/share", "code.desktop", "Name=Visual Studio Code\nExec=/opt/Code/code --unity-launch %F\nStartupWMClass=Code\n");
    entry("usr/share", "tool.desktop", "Name=Tool\nExec=python3 /opt/tool.py\n");
    entry("usr/share", "gedit.desktop", "Name=Text Editor\nExec=gedit\nNoDisplay=true\n");
    entry("usr/share", "org.gnome.Calculator.desktop", "Name=Calculator\nExec=/usr/bin/flatpak run org.gnome.Calculator\n"
                                                       "X-Flatpak=org.gnome.Calculator\nIcon=org.gnome.Calculator\n");
    entry("home/.local/share", "wine/Programs/Notepad++.desktop", "Name=Notepad++\nExec=env WINEPREFIX=/w wine C:\\\\np.exe\nStartupWMClass=notepad++.exe\n");
    machine.process({.pid = 100, .comm = "firefox", .exe = "/usr/lib/firefox/firefox", .startTicks = 1, .rssPages = 10});
    machine.process({.pid = 101, .comm = "Web Content", .exe = "/usr/lib/firefox/firefox", .startTicks = 2, .rssPages = 20});
    machine.process({.pid = 200, .comm = "code", .exe = "/opt/Code/code", .startTicks = 3, .rssPages = 5});
    machine.process({.pid = 300, .comm = "python3", .exe = "/usr/bin/python3.11", .startTicks = 4, .rssPages = 5});
    machine.process({.pid = 400, .comm = "gedit", .exe = "/usr/bin/gedit", .startTicks = 5, .rssPages = 5});
    machine.process({.pid = 500, .comm = "gnome-calculat", .exe = "/app/bin/gnome-calculator", .startTicks = 6, .rssPages = 5});
    machine.process({.pid = 600, .comm = "notepad++.exe", .exe = "/opt/wine/notepad++.exe", .startTicks = 7, .rssPages = 5});
    machine.write("proc/500/cgroup", "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-flatpak-org.gnome.Calculator-81234.scope\n");

    AppUsageSampler sampler(machine.roots(), {"/usr/local/bin", "/usr/bin"});
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(100), 2);
    ASSERT_TRUE(pass);
    // The user's entry hides the system's of the same id.
    const AppUsage* firefox = row(*pass, "org.mozilla.firefox.desktop");
    ASSERT_TRUE(firefox);
    EXPECT_EQ(firefox->name, "My Firefox");
    EXPECT_EQ(firefox->iconName, "/opt/fx.png");
    EXPECT_EQ(firefox->processCount, 2);
    EXPECT_EQ(firefox->memory, 30 * page);
    ASSERT_TRUE(row(*pass, "code.desktop"));  // by its window class
    EXPECT_EQ(row(*pass, "code.desktop")->name, "Visual Studio Code");
    const AppUsage* calculator = row(*pass, "org.gnome.Calculator.desktop");  // by its Flatpak sandbox
    ASSERT_TRUE(calculator);
    EXPECT_EQ(calculator->iconName, "org.gnome.Calculator");
    // An interpreter named by an entry is no application of its own; a hidden entry names nothing.
    EXPECT_TRUE(row(*pass, "python3.11"));
    EXPECT_TRUE(row(*pass, "gedit"));
    // An entry below the folder, as Wine makes them, by its desktop-file ID.
    ASSERT_TRUE(row(*pass, "wine-Programs-Notepad++.desktop"));
    EXPECT_EQ(row(*pass, "wine-Programs-Notepad++.desktop")->name, "Notepad++");
    EXPECT_EQ(pass->apps.size(), 6u);

    // An application installed while the monitor runs is picked up at the next pass.
    entry("home/.local/share", "org.gnome.gedit.desktop", "Name=Gedit\nExec=gedit %U\n");
    std::filesystem::last_write_time(machine.tree.path() / "home/.local/share/applications",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    pass = sampler.sampleApps(Instant::fromReferenceSeconds(102), 2);
    ASSERT_TRUE(pass);
    ASSERT_TRUE(row(*pass, "org.gnome.gedit.desktop"));
    EXPECT_FALSE(row(*pass, "gedit"));
    EXPECT_TRUE(row(*pass, "org.mozilla.firefox.desktop"));
}
