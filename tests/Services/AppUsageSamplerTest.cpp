#include "Services/AppUsageSampler.h"
#include "Services/MemorySampler.h"
#include "Support/FakeMachine.h"
#include "Support/ForkedChild.h"
#include "Support/KernelWriteCount.h"
#include "Support/OwnProcesses.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <limits>
#include <memory>
#include <fcntl.h>
#include <csignal>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// A sampler of the processes this test started and theirs: whatever else runs beside the test (another
// run of the suite, with programs of the same names) never shows in its rows.
class OwnSampler {
public:
    explicit OwnSampler(const std::filesystem::path& tree) : sampler_(own_.roots(tree), {}) {}
    std::optional<AppUsagePass> sampleApps(Instant now, int cores) {
        own_.refresh();
        return sampler_.sampleApps(now, cores);
    }

private:
    OwnProcesses own_;
    AppUsageSampler sampler_;
};

const AppUsage* appRow(const AppUsagePass& pass, const std::string& id) {
    for (const AppUsage& app : pass.apps)
        if (app.id == id) return &app;
    return nullptr;
}

std::uint64_t writeRate(const AppUsagePass& pass, const std::string& id) {
    const AppUsage* app = appRow(pass, id);
    return app ? app->diskWritePerSecond : 0;
}

// A process of /usr/bin/NAME. Its write count holds what its threads wrote, ended ones too, and its
// reaped children's totals; its one live thread wrote `own` of it itself.
FakeProcess program(int pid, int ppid, const std::string& name, std::uint64_t startTicks, std::uint64_t written, std::uint64_t faults,
                    std::uint64_t reapedFaults = 0, std::uint64_t own = 0) {
    return {.pid = pid, .ppid = ppid, .comm = name, .exe = "/usr/bin/" + name, .startTicks = startTicks, .writeBytes = written,
            .faults = faults, .reapedFaults = reapedFaults, .threads = {{pid, startTicks, own}}};
}

// A program under a name of its own, talked to through pipes; told to end (its input closes) and
// reaped when the test ends, whatever happened.
class PipedProgram {
public:
    PipedProgram(const std::filesystem::path& program, std::vector<std::string> arguments) {
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        arguments.insert(arguments.begin(), program.filename().string());
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        toProgram_ = input[1];
        fromProgram_ = ::fdopen(output[0], "r");
    }
    PipedProgram(const PipedProgram&) = delete;
    PipedProgram& operator=(const PipedProgram&) = delete;
    ~PipedProgram() {
        if (toProgram_ >= 0) ::close(toProgram_);
        if (fromProgram_) std::fclose(fromProgram_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    pid_t pid() const { return pid_; }
    void say(const std::string& line) { EXPECT_EQ(::write(toProgram_, (line + "\n").data(), line.size() + 1), static_cast<ssize_t>(line.size() + 1)); }
    void feed(size_t bytes) {
        const std::string zeros(bytes, '\0');
        EXPECT_EQ(::write(toProgram_, zeros.data(), zeros.size()), static_cast<ssize_t>(zeros.size()));
    }
    std::string nextLine() {
        char line[256] = {};
        if (!fromProgram_ || !std::fgets(line, sizeof line, fromProgram_)) return "";
        return std::string(line, std::strcspn(line, "\n"));
    }

private:
    pid_t pid_ = 0;
    int toProgram_ = -1;
    std::FILE* fromProgram_ = nullptr;
};

// A copy of /bin/sh under a name of its own running `script` with `argument` as $1; its next read
// at the end ends the script.
class ScriptedShell : public PipedProgram {
public:
    ScriptedShell(const std::filesystem::path& program, const std::string& script, const std::filesystem::path& argument)
        : PipedProgram(copyOfShell(program), {"-c", script, program.filename().string(), argument.string()}) {}

private:
    static const std::filesystem::path& copyOfShell(const std::filesystem::path& program) {
        std::filesystem::copy_file("/bin/sh", program);
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        return program;
    }
};

// A session on the real kernel, each program a copy of /bin/sh under a name of its own, in a process
// group of its own: session-reaper, a child-subreaper (or, in `namespaced`, the first process of a PID
// namespace of its own), runs stay-shell, which runs job-shell and then stays. job-shell runs
// orphan-writer, which says it is ready and, once told, has dd write 8 MiB, reaps it, says it is done
// and waits. Once told, job-shell kills the writer and itself in one go: stay-shell reaps job-shell,
// and session-reaper the orphaned writer. The session hears and speaks through pipes alone: on a file
// system without a journal the kernel charges a process a page for every block of file bookkeeping
// it dirties (a FIFO's or a script's times), which would show as writes nobody made on purpose.
class OrphaningSession {
public:
    OrphaningSession(const TempTree& tree, bool namespaced) {
        for (const char* program : {"session-reaper", "stay-shell", "job-shell", "orphan-writer"}) {
            std::filesystem::copy_file("/bin/sh", tree.path() / program);
            std::filesystem::permissions(tree.path() / program, std::filesystem::perms::owner_all);
        }
        // In the session: 3 never has anything to read, 4 starts the writer, 5 ends the job, 6 is what
        // the writer says.
        tree.write("session.sh", "\"$1/stay-shell\" \"$1/stay.sh\" \"$1\" & wait; read x <&3\n");
        tree.write("stay.sh", "\"$1/job-shell\" \"$1/job.sh\" \"$1\" 2>/dev/null; read x <&3\n");
        tree.write("job.sh", "\"$1/orphan-writer\" \"$1/writer.sh\" \"$1\" & read x <&5; kill -KILL $! $$\n");
        tree.write("writer.sh", "echo ready >&6; read x <&4; dd if=/dev/zero of=\"$1/written\" bs=1M count=8 conv=fsync 2>/dev/null; "
                                "echo done >&6; read x <&3\n");
        const std::string reaper = (tree.path() / "session-reaper").string(), script = (tree.path() / "session.sh").string(), folder = tree.path().string();
        int never[2], start[2], go[2], said[2];
        for (int* pipe : {never, start, go, said})
            if (::pipe2(pipe, O_CLOEXEC) != 0) return;
        leader_ = ::fork();
        if (leader_ == 0) {
            // The session's ends at the numbers its scripts name, kept across exec; copied aside first,
            // so that placing one never closes another.
            const int ends[] = {never[0], start[0], go[0], said[1]};
            int copies[4];
            for (int index = 0; index < 4; ++index)
                if ((copies[index] = ::fcntl(ends[index], F_DUPFD_CLOEXEC, 10)) < 0) ::_exit(3);
            for (int index = 0; index < 4; ++index)
                if (::dup2(copies[index], 3 + index) != 3 + index) ::_exit(3);
            ::setpgid(0, 0);
            if (namespaced) {
                const char* unshare = "/usr/bin/unshare";
                ::execl(unshare, unshare, "--pid", "--fork", "--kill-child", reaper.c_str(), script.c_str(), folder.c_str(), nullptr);
            } else if (::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0) {
                ::execl(reaper.c_str(), "session-reaper", script.c_str(), folder.c_str(), nullptr);
            }
            ::_exit(3);
        }
        for (int end : {never[0], start[0], go[0], said[1]}) ::close(end);
        never_ = never[1];
        start_ = start[1];
        go_ = go[1];
        said_ = ::fdopen(said[0], "r");
    }
    // The group id is the leader's id, which stays ours until it is reaped.
    ~OrphaningSession() {
        for (int end : {never_, start_, go_})
            if (end >= 0) ::close(end);
        if (said_) std::fclose(said_);
        if (leader_ <= 0) return;
        ::kill(-leader_, SIGKILL);
        ::waitpid(leader_, nullptr, 0);
    }
    // Whether the writer says `word` next: false once the session could not start or has ended.
    bool writerSays(const char* word) {
        char line[64] = {};
        return said_ && std::fgets(line, sizeof line, said_) && std::string(line) == std::string(word) + "\n";
    }
    void startWriter() { EXPECT_EQ(::write(start_, "\n", 1), 1); }
    void killJob() { EXPECT_EQ(::write(go_, "\n", 1), 1); }

private:
    pid_t leader_ = 0;
    int never_ = -1, start_ = -1, go_ = -1;
    std::FILE* said_ = nullptr;
};

// The process, with its start time, that runs `program`.
std::optional<ProcessKey> processOf(const std::filesystem::path& program) {
    ProcessTable table(SystemRoots{});
    for (std::int32_t pid : table.pids().value_or(std::vector<std::int32_t>{}))
        if (auto process = table.read(pid); process && process->executablePath == program.string()) return ProcessKey{pid, process->startTicks};
    return std::nullopt;
}


const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
constexpr std::uint64_t KiB = 1024;
constexpr std::uint64_t MiB = 1024 * KiB;
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
    const AppUsage* firefox = appRow(*first, "firefox-esr");
    ASSERT_TRUE(firefox);
    EXPECT_EQ(firefox->processCount, 2);
    EXPECT_EQ(firefox->memory, 1500 * page);
    EXPECT_EQ(firefox->cpu, 0);
    EXPECT_EQ(firefox->iconPath, "/usr/lib/firefox-esr/firefox-esr");
    const AppUsage* bash = appRow(*first, "bash");
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
    firefox = appRow(*second, "firefox-esr");
    EXPECT_NEAR(firefox->cpu, 0.5, 1e-9);
    EXPECT_EQ(firefox->diskWritePerSecond, 500000u);

    // Far more ticks than the interval allows (clock jitter): capped at the whole machine.
    machine.process({.pid = 100, .comm = "firefox-esr", .exe = "/usr/lib/firefox-esr/firefox-esr",
                     .utime = 1000 + static_cast<std::uint64_t>(100 * ticksPerSecond), .startTicks = 50, .rssPages = 1000,
                     .writeBytes = 1000000});
    auto third = sampler.sampleApps(start.addingSeconds(2.1), 4);  // 0.1 s later, measured over the 0.5 s floor
    EXPECT_EQ(appRow(*third, "firefox-esr")->cpu, 1.0);
}

TEST(AppUsageSampler, ReusedProcessIdStartsFromZero) {
    FakeMachine machine;
    machine.process({.pid = 300, .comm = "make", .exe = "/usr/bin/make", .utime = 100, .startTicks = 1000, .writeBytes = 500'000});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The id now belongs to a new process whose counters happen to be higher: all the processor time
    // it used and all it wrote since it started are its own, not its counts less the old process's.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus",
                     .utime = static_cast<std::uint64_t>(ticksPerSecond), .startTicks = 1500, .writeBytes = 900000});
    // One that was there before the previous pass without being seen (it could not be read) is
    // measured from the pass that first sees it.
    machine.process({.pid = 301, .comm = "ld", .exe = "/usr/bin/ld", .startTicks = 900, .writeBytes = 700000});
    // One that started in the clock tick of the newest process the previous pass read, yet was not in
    // its list, started after that pass: all it wrote is new.
    machine.process({.pid = 302, .comm = "as", .exe = "/usr/bin/as", .startTicks = 1000, .writeBytes = 600000});
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    const AppUsage* compiler = appRow(*pass, "cc1plus");
    ASSERT_TRUE(compiler);
    EXPECT_DOUBLE_EQ(compiler->cpu, 0.5);  // one second in two
    EXPECT_EQ(compiler->diskWritePerSecond, 450000u);
    EXPECT_EQ(appRow(*pass, "ld")->diskWritePerSecond, 0u);
    EXPECT_EQ(appRow(*pass, "as")->diskWritePerSecond, 300000u);

    // And a counter that went back within one process counts 0 too.
    machine.process({.pid = 300, .comm = "cc1plus", .exe = "/usr/libexec/gcc/cc1plus", .utime = 5, .startTicks = 1500, .writeBytes = 10});
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(appRow(*pass, "cc1plus")->cpu, 0);
    EXPECT_EQ(appRow(*pass, "cc1plus")->diskWritePerSecond, 0u);
}

TEST(AppUsageSampler, ChargesAProcessWithWhatItsEndedThreadsWrote) {
    FakeMachine machine;
    // A downloader that writes through batches of short-lived threads: task/ lists only the threads
    // alive at the moment, and the process's own count holds the ended ones'.
    auto downloader = [&](std::uint64_t total, std::vector<FakeThread> live) {
        FakeProcess process = program(500, 1, "downloader", 20, total, 900);
        process.threads = std::move(live);
        machine.process(process);
    };
    downloader(10 * MiB, {{500, 20, 10 * MiB}});
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // A batch of 4 threads wrote 8 MiB each and ended; the first thread wrote 1 MiB.
    downloader(43 * MiB, {{500, 20, 11 * MiB}});
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(appRow(*pass, "downloader")->diskWritePerSecond, 33 * MiB / 2);

    // One more batch ended, and a thread of the next is half way.
    downloader(79 * MiB, {{500, 20, 11 * MiB}, {505, 40, 4 * MiB}});
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(appRow(*pass, "downloader")->diskWritePerSecond, 36 * MiB / 2);
}

TEST(AppUsageSampler, ChargesAReaperWithWhatItsChildrenWroteAfterTheyWereLastSeen) {
    FakeMachine machine;
    // A shell that writes 1000 bytes a pass itself, and runs dd after dd. The kernel adds a reaped
    // dd's whole total to the shell's count, and its page faults to the shell's reaped faults.
    std::uint64_t shellTotal = 0;
    std::uint64_t shellOwn = 0;
    std::uint64_t shellReapedFaults = 0;
    auto shell = [&](std::uint64_t reapedBytes, std::uint64_t reapedFaults) {
        shellOwn += 1000;
        shellTotal += 1000 + reapedBytes;
        shellReapedFaults += reapedFaults;
        machine.process(program(400, 1, "bash", 10, shellTotal, 500, shellReapedFaults, shellOwn));
    };
    auto dd = [&](int pid, std::uint64_t startTicks, std::uint64_t written) { machine.process(program(pid, 400, "dd", startTicks, written, 300, 0, written)); };
    AppUsageSampler sampler(machine.roots());
    Instant now = Instant::fromReferenceSeconds(0);
    auto pass = [&] { return *sampler.sampleApps(now = now.addingSeconds(2), 1); };
    shell(0, 0);
    dd(401, 100, 3 * MiB);
    pass();

    // Seen again writing, then gone: reaped with 8 MiB in all, of which the shell is charged the 3 MiB
    // written after dd was last seen.
    shell(0, 0);
    dd(401, 100, 5 * MiB);
    AppUsagePass second = pass();
    EXPECT_EQ(writeRate(second, "dd"), MiB);
    EXPECT_EQ(writeRate(second, "bash"), 500u);
    shell(8 * MiB, 310);
    machine.removeProcess(401);
    AppUsagePass reaped = pass();
    EXPECT_FALSE(appRow(reaped, "dd"));
    EXPECT_EQ(writeRate(reaped, "bash"), (3 * MiB + 1000) / 2);

    // A dd started since the previous pass is charged with all it wrote. Once ended, it waits to be
    // reaped, still listed but without a program: nothing is charged until the shell reaps it.
    dd(402, 200, 2 * MiB);
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "dd"), MiB);
    machine.process({.pid = 402, .ppid = 400, .comm = "dd", .startTicks = 200, .writeBytes = 4 * MiB, .faults = 305});
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);
    machine.removeProcess(402);
    shell(4 * MiB, 305);
    EXPECT_EQ(writeRate(pass(), "bash"), (2 * MiB + 1000) / 2);

    // Reaped just after the pass read the shell: gone from the list, yet not in the shell's count
    // until the next pass.
    dd(403, 300, MiB);
    shell(0, 0);
    pass();
    machine.removeProcess(403);
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);
    shell(3 * MiB, 301);
    EXPECT_EQ(writeRate(pass(), "bash"), (2 * MiB + 1000) / 2);

    // Read while the shell reaps it, shown dead: its totals are in the shell's count already.
    dd(405, 350, MiB);
    shell(0, 0);
    pass();
    machine.process({.pid = 405, .ppid = 400, .comm = "dd", .state = 'X', .startTicks = 350, .writeBytes = 2 * MiB, .faults = 301});
    shell(2 * MiB, 301);
    EXPECT_EQ(writeRate(pass(), "bash"), (MiB + 1000) / 2);
    machine.removeProcess(405);

    // Shown dead before its totals reach the shell, for passes on end (the shell was put off once it
    // took the process): it waits however long that takes, and is taken out when they arrive.
    dd(406, 360, MiB);
    shell(0, 0);
    pass();
    machine.process({.pid = 406, .ppid = 400, .comm = "dd", .state = 'X', .startTicks = 360, .writeBytes = 2 * MiB, .faults = 301});
    for (int passes = 0; passes < 3; ++passes) {
        shell(0, 0);
        EXPECT_EQ(writeRate(pass(), "bash"), 500u);
    }
    machine.removeProcess(406);
    shell(2 * MiB, 301);
    EXPECT_EQ(writeRate(pass(), "bash"), (MiB + 1000) / 2);

    // A dd that came and went between two passes was never seen: all it wrote is the shell's.
    shell(8 * MiB, 300);
    EXPECT_EQ(writeRate(pass(), "bash"), (8 * MiB + 1000) / 2);

    // A dd whose id went to a new process: the new one is no continuation of it, and the ended one is
    // still taken out of the shell's count.
    dd(404, 400, 2 * MiB);
    shell(0, 0);
    pass();
    shell(3 * MiB, 300);
    machine.process(program(404, 400, "cc1", 500, 5 * MiB, 200, 0, 5 * MiB));
    AppUsagePass reused = pass();
    EXPECT_EQ(writeRate(reused, "bash"), (MiB + 1000) / 2);
    EXPECT_EQ(writeRate(reused, "cc1"), 5 * MiB / 2);
    machine.process(program(404, 400, "cc1", 500, 6 * MiB, 200, 0, 6 * MiB));
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "cc1"), MiB / 2);
}

TEST(AppUsageSampler, ChargesAReaperOnlyWhatItsThreadsWroteInThePassInWhichItReapsAnUnreadableProcess) {
    FakeMachine machine;
    // A shell whose thread writes 1000 bytes a pass runs sudo, whose program and write count cannot be
    // read, only its stat; sudo runs apt, which cannot be read either. Each thread of the shell counts
    // its own writes, apart from what the shell reaped.
    std::uint64_t shellTotal = 0;
    std::uint64_t shellOwn = 0;
    std::uint64_t shellReapedFaults = 0;
    std::vector<FakeThread> shellWorkers;
    auto shell = [&](std::uint64_t reapedBytes, std::uint64_t reapedFaults) {
        shellOwn += 1000;
        shellTotal += 1000 + reapedBytes;
        shellReapedFaults += reapedFaults;
        FakeProcess process = program(400, 1, "bash", 10, shellTotal, 500, shellReapedFaults, shellOwn);
        process.threads.insert(process.threads.end(), shellWorkers.begin(), shellWorkers.end());
        machine.process(process);
    };
    auto hidden = [&](int pid, int ppid, std::uint64_t startTicks, std::uint64_t faults, std::uint64_t reapedFaults) {
        machine.process({.pid = pid, .ppid = ppid, .comm = "sudo", .startTicks = startTicks, .faults = faults, .reapedFaults = reapedFaults,
                         .unreadable = true});
    };
    AppUsageSampler sampler(machine.roots());
    Instant now = Instant::fromReferenceSeconds(0);
    auto pass = [&] { return *sampler.sampleApps(now = now.addingSeconds(2), 1); };
    shell(0, 0);
    hidden(401, 400, 20, 200, 0);
    hidden(402, 401, 21, 900, 0);
    pass();

    // apt ends, reaped by sudo; then sudo, reaped by the shell, whose count rises by the 200 MiB apt
    // wrote: the shell is charged what its thread wrote, in that pass too.
    machine.removeProcess(402);
    hidden(401, 400, 20, 200, 950);
    shell(0, 0);
    AppUsagePass aptEnded = pass();
    EXPECT_EQ(writeRate(aptEnded, "bash"), 500u);
    EXPECT_FALSE(appRow(aptEnded, "sudo"));
    machine.removeProcess(401);
    shell(200 * MiB, 1150);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);

    // A child of sudo's that becomes a program of the user's, which can be read, is measured from then.
    hidden(403, 400, 30, 100, 0);
    shell(0, 0);
    pass();
    machine.process(program(403, 400, "editor", 30, 6 * MiB, 100, 0, 6 * MiB));
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "editor"), 0u);

    // A writer that can be read, run by sudo as the user: shown while seen, and not again when sudo,
    // which reaped it, is reaped in turn.
    hidden(404, 400, 40, 200, 0);
    machine.process(program(405, 404, "writer", 41, 4 * MiB, 300, 0, 4 * MiB));
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "writer"), 2 * MiB);
    machine.removeProcess(405);
    hidden(404, 400, 40, 200, 310);
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);
    machine.removeProcess(404);
    shell(5 * MiB, 510);
    EXPECT_EQ(writeRate(pass(), "bash"), 500u);

    // A worker thread of the shell writes 1 MiB, then 2 MiB more and ends while sudo runs; a thread
    // started since under its id writes 512 KiB. What the ended thread wrote since the previous pass
    // went into the shell's count, one with sudo's total: it is left out, and the new thread counts whole.
    hidden(406, 400, 50, 200, 0);
    shellWorkers = {{410, 45, MiB}};
    shell(MiB, 0);
    pass();
    shellWorkers = {{410, 55, 512 * KiB}};
    machine.removeProcess(406);
    shell(2 * MiB + 512 * KiB + 7 * MiB, 210);
    EXPECT_EQ(writeRate(pass(), "bash"), (1000 + 512 * KiB) / 2);
    shellWorkers.clear();

    // A dd that can be read and sudo, reaped in one pass: dd was shown writing 3 MiB, and wrote 1 MiB
    // more. The shell is charged its thread's writes alone, never a figure that wraps below zero.
    hidden(407, 400, 60, 200, 0);
    machine.process(program(408, 400, "dd", 61, 3 * MiB, 300, 0, 3 * MiB));
    shell(0, 0);
    EXPECT_EQ(writeRate(pass(), "dd"), 3 * MiB / 2);
    machine.removeProcess(407);
    machine.removeProcess(408);
    shell(4 * MiB + 5 * MiB, 310 + 210);
    AppUsagePass both = pass();
    EXPECT_EQ(writeRate(both, "bash"), 500u);
    EXPECT_FALSE(appRow(both, "dd"));

    // sudo and the shell that ran it end in one pass, reaped by a session that had no child it cannot
    // read, so whose threads were not read: its rise is not known, and it is charged nothing for it.
    machine.process(program(500, 1, "session", 5, 0, 900));
    machine.process(program(501, 500, "sh", 6, 0, 100));
    hidden(409, 501, 70, 200, 0);
    pass();
    machine.removeProcess(501);
    machine.removeProcess(409);
    machine.process(program(500, 1, "session", 5, 4 * MiB + 1000, 900, 300, 1000));
    EXPECT_EQ(writeRate(pass(), "session"), 0u);
}

TEST(AppUsageSampler, ChargesAChainOfEndedProcessesToTheOneThatReapedThemAll) {
    FakeMachine machine;
    // make runs sh -c at once, in the tick it started, and sh runs the compiler; all three are seen,
    // then sh and the compiler end between two passes. make's count grows by sh's total, which holds
    // the compiler's, and its reaped faults by both processes' faults.
    machine.process(program(600, 1, "make", 10, 0, 400));
    machine.process(program(601, 600, "sh", 10, 0, 150));
    machine.process(program(602, 601, "cc1", 30, 2 * MiB, 4000, 0, 2 * MiB));
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The compiler wrote 6 MiB in all and sh 1 MiB of its own; then make ran one more sh and compiler
    // that were never seen and wrote 3 MiB.
    machine.removeProcess(601);
    machine.removeProcess(602);
    machine.process(program(600, 1, "make", 10, 10 * MiB, 400, 152 + 4010 + 4200));
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(writeRate(*pass, "make"), (4 * MiB + MiB + 3 * MiB) / 2);
    EXPECT_FALSE(appRow(*pass, "cc1"));

    // Then two compilers at once, seen with different totals: both end between two passes, each
    // having written 1 MiB more, and make, which wrote 512 KiB itself, reaps both.
    machine.process(program(603, 600, "cc1", 40, 3 * MiB, 300, 0, 3 * MiB));
    machine.process(program(604, 600, "cc1", 41, 5 * MiB, 500, 0, 5 * MiB));
    sampler.sampleApps(start.addingSeconds(4), 1);
    machine.removeProcess(603);
    machine.removeProcess(604);
    machine.process(program(600, 1, "make", 10, 20 * MiB + 512 * KiB, 400, 8362 + 310 + 510));
    pass = sampler.sampleApps(start.addingSeconds(6), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(writeRate(*pass, "make"), (2 * MiB + 512 * KiB) / 2);
}

TEST(AppUsageSampler, ChargesAnAdoptedChildToTheProcessThatReapsIt) {
    FakeMachine machine;
    // A launcher started a daemon and ended; the daemon, adopted by the session's reaper, ends later.
    machine.process(program(100, 1, "terminal", 1, 0, 900));
    machine.process(program(150, 1, "systemd", 2, 0, 900));
    machine.process(program(200, 100, "launcher", 5, 0, 120));
    machine.process(program(201, 200, "daemon", 6, MiB, 300, 0, MiB));
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    // The launcher wrote 512 KiB more, ended and was reaped by the terminal; the daemon now has the
    // session's reaper as its parent.
    machine.removeProcess(200);
    machine.process(program(100, 1, "terminal", 1, 512 * KiB, 900, 125));
    machine.process(program(201, 150, "daemon", 6, 3 * MiB, 300, 0, 3 * MiB));
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    EXPECT_EQ(writeRate(*pass, "terminal"), 256 * KiB);
    EXPECT_EQ(writeRate(*pass, "daemon"), MiB);

    // It writes 1 MiB more and ends: its reaper is charged with that, the terminal with nothing.
    machine.removeProcess(201);
    machine.process(program(150, 1, "systemd", 2, 4 * MiB, 900, 310));
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(writeRate(*pass, "systemd"), MiB / 2);
    EXPECT_EQ(writeRate(*pass, "terminal"), 0u);
}

// Processor time as the kernel hands it on: reaping adds a child's whole time (its own and what it
// had reaped) to the reaper's cutime and cstime. The reaper is charged that rise, less what the
// child had when a pass last saw it, which its own row showed then.
TEST(AppUsageSampler, ChargesAReaperWithTheProcessorTimeOfItsChildrenOnce) {
    FakeMachine machine;
    const auto tick = [](double seconds) { return static_cast<std::uint64_t>(seconds * ticksPerSecond); };
    auto make = [&](std::uint64_t own, std::uint64_t reaped, std::uint64_t reapedFaults) {
        machine.process({.pid = 400, .comm = "make", .exe = "/usr/bin/make", .utime = own, .reapedUtime = reaped, .startTicks = 10,
                         .faults = 500, .reapedFaults = reapedFaults});
    };
    auto compiler = [&](std::uint64_t user, std::uint64_t system) {
        machine.process({.pid = 401, .ppid = 400, .comm = "cc1", .exe = "/usr/bin/cc1", .utime = user, .stime = system, .startTicks = 100,
                         .faults = 300});
    };
    AppUsageSampler sampler(machine.roots());
    Instant now = Instant::fromReferenceSeconds(0);
    auto pass = [&] { return *sampler.sampleApps(now = now.addingSeconds(2), 1); };
    auto share = [](const AppUsagePass& measured, const std::string& id) { return appRow(measured, id) ? appRow(measured, id)->cpu : 0.0; };
    make(tick(1), 0, 0);
    compiler(tick(0.2), 0);
    pass();

    // Seen alive for 0.6 s more of its own; make used 0.1 s.
    make(tick(1.1), 0, 0);
    compiler(tick(0.6), tick(0.2));
    AppUsagePass alive = pass();
    EXPECT_NEAR(share(alive, "cc1"), 0.3, 1e-9);
    EXPECT_NEAR(share(alive, "make"), 0.05, 1e-9);

    // It used 0.4 s more and was reaped: make's reaped time rose by all 1.2 s of it, of which the
    // 0.8 s shown as the compiler's already come off.
    machine.removeProcess(401);
    make(tick(1.2), tick(1.2), 300);
    AppUsagePass reaped = pass();
    EXPECT_FALSE(appRow(reaped, "cc1"));
    EXPECT_NEAR(share(reaped, "make"), (0.4 + 0.1) / 2, 1e-9);

    // Children too short to be seen count whole: 1.5 s of them, reaped between two passes.
    make(tick(1.2), tick(2.7), 900);
    EXPECT_NEAR(share(pass(), "make"), 1.5 / 2, 1e-9);
    // ...and a child that started since the previous pass is charged all it used, from its start.
    compiler(tick(0.5), tick(0.1));
    machine.process({.pid = 401, .ppid = 400, .comm = "cc1", .exe = "/usr/bin/cc1", .utime = tick(0.5), .stime = tick(0.1), .startTicks = 900});
    EXPECT_NEAR(share(pass(), "cc1"), 0.3, 1e-9);

    // Two children reaped in one pass, whose last-seen times (each rounded down apart) add up to more
    // than the reaper's reaped time rose by: they come off that rise once, never off the reaper's own.
    FakeMachine pair;
    auto ninja = [&](std::uint64_t own, std::uint64_t reapedTicks, std::uint64_t reapedFaults) {
        pair.process({.pid = 500, .comm = "ninja", .exe = "/usr/bin/ninja", .utime = own, .reapedUtime = reapedTicks, .startTicks = 10,
                      .faults = 500, .reapedFaults = reapedFaults});
    };
    ninja(100, 0, 0);
    for (int pid : {501, 502})
        pair.process({.pid = pid, .ppid = 500, .comm = "cc1", .exe = "/usr/bin/cc1", .utime = 30, .startTicks = 100, .faults = 300});
    AppUsageSampler pairSampler(pair.roots());
    ASSERT_TRUE(pairSampler.sampleApps(Instant::fromReferenceSeconds(0), 1));
    pair.removeProcess(501);
    pair.removeProcess(502);
    ninja(120, 50, 600);
    auto together = pairSampler.sampleApps(Instant::fromReferenceSeconds(2), 1);
    ASSERT_TRUE(together);
    EXPECT_NEAR(share(*together, "ninja"), 20 / ticksPerSecond / 2, 1e-9);
}

// On the kernel's own counters: a shell starting short busy children, then one child that a pass
// sees alive. Each time, the shell's row and its children's rows hold what the kernel counted once.
TEST(AppUsageSampler, CountsAShellsShortChildrenOnItsRowOnTheKernelsCounters) {
    TempTree tree;
    const std::filesystem::path busy = tree.path() / "busy-child";
    std::filesystem::copy_file("/bin/sh", busy);
    std::filesystem::permissions(busy, std::filesystem::perms::owner_all);
    ScriptedShell shell(tree.path() / "spawning-shell",
                        "echo ready; read go; n=0; while [ $n -lt 60 ]; do sh -c 'i=0; while [ $i -lt 8000 ]; do i=$((i+1)); done'; "
                        "n=$((n+1)); done; echo spawned; read go; '" + busy.string() + "' -c 'while [ ! -e \"$0/stop\" ]; do :; done' \"$1\" & "
                        "echo $!; wait $!; echo reaped; read go",
                        tree.path());
    ASSERT_GT(shell.pid(), 0);
    ASSERT_EQ(shell.nextLine(), "ready");
    OwnSampler sampler(tree.path());
    // utime + stime + cutime + cstime of a live process, from its stat; 0 once it is gone.
    auto kernelTicks = [](const std::string& pid) {
        const std::string text = TempTree::read("/proc/" + pid + "/stat");
        const size_t name = text.rfind(')');
        if (name == std::string::npos) return std::uint64_t(0);
        std::istringstream fields(text.substr(name + 1));
        std::string field;
        std::uint64_t ticks = 0;
        for (int index = 3; index <= 17 && fields >> field; ++index)
            if (index >= 14) ticks += std::stoull(field);
        return ticks;
    };
    const std::string shellPid = std::to_string(shell.pid());
    auto rowTicks = [&](const AppUsagePass& measured, const std::string& id) {
        const AppUsage* app = appRow(measured, id);
        return app ? app->cpu * 2 * ticksPerSecond : 0.0;  // a share of one core over two seconds
    };
    Instant now = Instant::fromReferenceSeconds(0);
    std::uint64_t before = kernelTicks(shellPid);
    ASSERT_TRUE(sampler.sampleApps(now, 1));

    // Sixty children, none seen: all their time is the shell's.
    shell.say("go");
    ASSERT_EQ(shell.nextLine(), "spawned");
    std::uint64_t after = kernelTicks(shellPid);
    auto pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    ASSERT_GE(after - before, 10u) << "the children used too little processor time to compare";
    EXPECT_NEAR(rowTicks(*pass, "spawning-shell"), double(after - before), 0.2 * double(after - before));

    // One child seen alive, then reaped: its time before the pass is on its own row, the rest on
    // the shell's, never both.
    before = kernelTicks(shellPid);
    shell.say("go");
    const std::string child = shell.nextLine();
    ASSERT_FALSE(child.empty());
    while (kernelTicks(child) < 20) std::this_thread::yield();
    pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    const double seenAlive = rowTicks(*pass, "busy-child");
    const double shellWhileAlive = rowTicks(*pass, "spawning-shell");
    EXPECT_GE(seenAlive, 20);
    const std::uint64_t atPass = kernelTicks(child);
    while (kernelTicks(child) < atPass + 20) std::this_thread::yield();
    tree.write("stop", "");
    ASSERT_EQ(shell.nextLine(), "reaped");
    after = kernelTicks(shellPid);
    pass = sampler.sampleApps(now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_FALSE(appRow(*pass, "busy-child"));
    const double counted = seenAlive + shellWhileAlive + rowTicks(*pass, "spawning-shell");
    EXPECT_NEAR(counted, double(after - before), 0.2 * double(after - before));
    EXPECT_GE(rowTicks(*pass, "spawning-shell"), 15);
}

TEST(AppUsageSampler, ChargesAnOrphanOnceToTheSubreaperAboveAShellThatStays) {
    // A session's subreaper runs a terminal whose shell stays. Each pass the terminal's rise holds
    // the ended processes it reaped, the subreaper's the ones it reaped.
    FakeMachine machine;
    AppUsageSampler sampler(machine.roots());
    Instant now = Instant::fromReferenceSeconds(0);
    auto pass = [&] { return *sampler.sampleApps(now = now.addingSeconds(2), 1); };
    machine.process(program(150, 1, "systemd", 2, 0, 900));
    machine.process(program(200, 150, "terminal", 3, 0, 900));
    machine.process(program(210, 200, "bash", 4, 0, 500));

    // A job shell and its writer die of one signal: the terminal reaps the job shell, the subreaper
    // the writer, which wrote 1 MiB after it was last seen.
    machine.process(program(300, 210, "jobsh", 10, 0, 120));
    machine.process(program(301, 300, "writer", 11, 8 * MiB, 400, 0, 8 * MiB));
    pass();
    machine.removeProcess(300);
    machine.removeProcess(301);
    machine.process(program(210, 200, "bash", 4, 2 * KiB, 500, 125));
    machine.process(program(150, 1, "systemd", 2, 9 * MiB, 900, 410));
    AppUsagePass killed = pass();
    EXPECT_EQ(writeRate(killed, "systemd"), MiB / 2);
    EXPECT_EQ(writeRate(killed, "bash"), KiB);
    EXPECT_FALSE(appRow(killed, "writer"));

    // A chain of three below the shell whose middle two end in one pass: the outer one is reaped by the
    // shell, the middle one, whose count holds 8 MiB of a child it reaped, by the subreaper, which
    // also takes the last one, still live.
    machine.process(program(400, 210, "outer", 20, 0, 110));
    machine.process(program(401, 400, "middle", 21, 8 * MiB, 130, 400));
    machine.process(program(402, 401, "tail", 22, 0, 90));
    pass();
    machine.removeProcess(400);
    machine.removeProcess(401);
    machine.process(program(402, 150, "tail", 22, 0, 90));
    machine.process(program(210, 200, "bash", 4, 2 * KiB, 500, 125 + 110));
    machine.process(program(150, 1, "systemd", 2, 9 * MiB + 8 * MiB + 512 * KiB, 900, 410 + 530));
    AppUsagePass middle = pass();
    EXPECT_EQ(writeRate(middle, "systemd"), 256 * KiB);
    EXPECT_EQ(writeRate(middle, "bash"), 0u);
    // The last one ends later, with the subreaper as its parent.
    machine.removeProcess(402);
    machine.process(program(150, 1, "systemd", 2, 18 * MiB + 512 * KiB, 900, 1030));
    EXPECT_EQ(writeRate(pass(), "systemd"), MiB / 2);

    // The subreaper is the job's own parent: it reaps both.
    machine.process(program(500, 150, "jobsh", 30, 0, 120));
    machine.process(program(501, 500, "writer", 31, 4 * MiB, 400, 0, 4 * MiB));
    pass();
    machine.removeProcess(500);
    machine.removeProcess(501);
    machine.process(program(150, 1, "systemd", 2, 24 * MiB + 512 * KiB, 900, 1030 + 520));
    EXPECT_EQ(writeRate(pass(), "systemd"), MiB);

    // The whole chain ends in one pass: a terminal, its shell, a job shell and the writer. Whoever
    // reaped whom below, all of it lands in the subreaper's count.
    machine.process(program(700, 150, "xterm", 60, 0, 900));
    machine.process(program(701, 700, "zsh", 61, 0, 500));
    machine.process(program(702, 701, "jobsh", 62, 0, 120));
    machine.process(program(703, 702, "writer", 63, 4 * MiB, 400, 0, 4 * MiB));
    pass();
    for (int pid : {700, 701, 702, 703}) machine.removeProcess(pid);
    machine.process(program(150, 1, "systemd", 2, 29 * MiB + 512 * KiB, 900, 1550 + 1920));
    EXPECT_EQ(writeRate(pass(), "systemd"), MiB / 2);

    // A parent id that, by the time the pass read it, was a later process's (the parent had ended and
    // its id was reused): that process, which reaps a child of its own as large, did not reap this one.
    machine.process(program(600, 700, "worker", 40, 2 * MiB, 300, 0, 2 * MiB));
    machine.process(program(700, 150, "newcomer", 50, 0, 100));
    pass();
    machine.removeProcess(600);
    machine.process(program(700, 150, "newcomer", 50, 2 * MiB, 100, 300));
    EXPECT_EQ(writeRate(pass(), "newcomer"), MiB);

    // Ids wrapped: a writer has a lower id than the tmux server that reaps it, so a pass reads it
    // first, alive, and the server after it has reaped it (here: seen dead when looked at again). Its
    // total is in the server's count once, and shown in its own row.
    machine.process(program(900, 150, "tmux", 80, 0, 900));
    machine.process(program(320, 900, "writer", 81, 2 * MiB, 300, 0, 2 * MiB));
    EXPECT_EQ(writeRate(pass(), "writer"), MiB);
    machine.process({.pid = 320, .ppid = 900, .comm = "writer", .state = 'X', .exe = "/usr/bin/writer", .startTicks = 81, .writeBytes = 3 * MiB,
                     .faults = 310});
    machine.process(program(900, 150, "tmux", 80, 3 * MiB, 900, 310));
    AppUsagePass wrapped = pass();
    EXPECT_EQ(writeRate(wrapped, "writer"), MiB / 2);
    EXPECT_EQ(writeRate(wrapped, "tmux"), 0u);
    machine.removeProcess(320);
    EXPECT_EQ(writeRate(pass(), "tmux"), 0u);

    // The job shell is read alive, then killed with its writer, which the subreaper (read after it)
    // reaps: by the time the pass settles, the shell is a zombie. A parent that has ended reaps
    // nothing, so the writer is the subreaper's.
    machine.process(program(310, 210, "jobsh", 12, 0, 120));
    machine.process(program(311, 310, "writer", 13, 2 * MiB, 400, 0, 2 * MiB));
    pass();
    machine.process({.pid = 310, .ppid = 210, .comm = "jobsh", .state = 'Z', .exe = "/usr/bin/jobsh", .startTicks = 12, .faults = 120});
    machine.removeProcess(311);
    machine.process(program(150, 1, "systemd", 2, 32 * MiB + 512 * KiB, 900, 3470 + 400));
    EXPECT_EQ(writeRate(pass(), "systemd"), MiB / 2);
}

TEST(AppUsageSampler, ChargesAnOrphanInAPidNamespaceToItsFirstProcessNotToTheSubreaperAbove) {
    FakeMachine machine;
    // A container: its runtime's monitor is a subreaper, and the namespace's first process (seen
    // here under our id for it) reaps the orphans within. The monitor also reaped a probe of its own,
    // never seen, that wrote as much as the orphan had.
    machine.process(program(400, 1, "conmon", 2, 0, 900));
    machine.process(program(401, 400, "tini", 3, 0, 300));
    machine.process(program(402, 401, "bash", 4, 0, 500));
    machine.process(program(403, 402, "jobsh", 5, 0, 120));
    machine.process(program(404, 403, "writer", 6, 8 * MiB, 400, 0, 8 * MiB));
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    machine.removeProcess(403);
    machine.removeProcess(404);
    machine.process(program(402, 401, "bash", 4, 0, 500, 120));
    machine.process(program(401, 400, "tini", 3, 10 * MiB, 300, 400));
    machine.process(program(400, 1, "conmon", 2, 8 * MiB, 900, 400));
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(writeRate(*pass, "tini"), MiB);
    EXPECT_EQ(writeRate(*pass, "conmon"), 4 * MiB);
    EXPECT_EQ(writeRate(*pass, "bash"), 0u);
}

// A job shell killed with its writer, and a pass that lands in the shell's exit: it reads the writer
// alive while the shell, half way through ending, has lost its program and cannot be read. At the
// next pass both are gone, the shell reaped by the shell that started it, the writer by the session's
// subreaper, whose counts rise by all the writer had. What the writer had when last seen was shown on
// its own row then: none of it shows again, in writes or in processor time. Another process, no
// ancestor of the writer, reaps an unseen job as large at the same time: it keeps its own.
TEST(AppUsageSampler, ChargesNothingForAChildSeenWhileItsEndingParentCouldNotBeRead) {
    FakeMachine machine;
    AppUsageSampler sampler(machine.roots());
    Instant now = Instant::fromReferenceSeconds(0);
    auto pass = [&] { return *sampler.sampleApps(now = now.addingSeconds(2), 1); };
    auto share = [](const AppUsagePass& measured, const std::string& id) { return appRow(measured, id) ? appRow(measured, id)->cpu : 0.0; };
    auto subreaper = [&](std::uint64_t written, std::uint64_t reapedFaults, std::uint64_t reapedTicks) {
        FakeProcess process = program(150, 1, "systemd", 2, written, 900, reapedFaults);
        process.reapedUtime = reapedTicks;
        machine.process(process);
    };
    // Half way through its exit: its program is gone, its stat still there.
    auto ending = [&](int pid, int ppid, std::uint64_t startTicks) {
        machine.process({.pid = pid, .ppid = ppid, .comm = "jobsh", .state = 'R', .startTicks = startTicks, .faults = 120});
    };
    auto writer = [&](int pid, int ppid, std::uint64_t startTicks, std::uint64_t written, std::uint64_t ticks) {
        FakeProcess process = program(pid, ppid, "writer", startTicks, written, 400, 0, written);
        process.utime = ticks;
        machine.process(process);
    };
    // A job shell caught half way through its exit while its writer, which wrote 2 MiB, is read alive;
    // both are gone by the next pass.
    auto killedTogether = [&](int shell, int parent, std::uint64_t shellStart, std::uint64_t writerStart) {
        ending(shell, parent, shellStart);
        writer(shell + 1, shell, writerStart, 2 * MiB, 40);
        EXPECT_EQ(writeRate(pass(), "writer"), MiB);
        machine.removeProcess(shell);
        machine.removeProcess(shell + 1);
    };
    subreaper(0, 0, 0);
    machine.process(program(160, 1, "cron", 1, 0, 900));
    machine.process(program(200, 150, "terminal", 3, 0, 900));
    machine.process(program(210, 200, "bash", 4, 0, 500));
    machine.process(program(300, 210, "jobsh", 10, 0, 120));
    writer(301, 300, 11, 4 * MiB, 50);
    pass();
    ending(300, 210, 10);
    writer(301, 300, 11, 8 * MiB, 150);
    AppUsagePass seen = pass();
    EXPECT_EQ(writeRate(seen, "writer"), 2 * MiB);
    EXPECT_NEAR(share(seen, "writer"), 100 / ticksPerSecond / 2, 1e-9);
    machine.removeProcess(300);
    machine.removeProcess(301);
    machine.process(program(210, 200, "bash", 4, 0, 500, 120));
    subreaper(8 * MiB, 400 + 50, 150);  // and a probe of its own, unseen, that wrote nothing
    machine.process(program(160, 1, "cron", 1, 8 * MiB, 900, 400));
    AppUsagePass reaped = pass();
    EXPECT_FALSE(appRow(reaped, "writer"));
    EXPECT_EQ(writeRate(reaped, "systemd"), 0u);
    EXPECT_EQ(share(reaped, "systemd"), 0);
    EXPECT_EQ(writeRate(reaped, "bash"), 0u);
    EXPECT_EQ(writeRate(reaped, "cron"), 4 * MiB);

    // The shell and its writer started since the pass before: no pass ever read the shell, so the
    // writer ends with no ancestor known at all. It is still found, in the one rise that holds it.
    killedTogether(310, 210, 20, 21);
    machine.process(program(210, 200, "bash", 4, 0, 500, 240));
    subreaper(10 * MiB, 850, 190);
    reaped = pass();
    EXPECT_EQ(writeRate(reaped, "systemd"), 0u);
    EXPECT_EQ(share(reaped, "systemd"), 0);
    EXPECT_EQ(writeRate(reaped, "bash"), 0u);

    // The parent's id was read last by a process that started after the child (the id was another's
    // then): that reading is refused, and that process, which started after the child, never reaped
    // it. The writer goes to the reaper whose rise holds it most closely: the subreaper, not the shell
    // or the newcomer, whose rises hold an unseen child of their own, larger.
    machine.process(program(700, 150, "newcomer", 50, 0, 100));
    machine.process(program(330, 700, "late", 60, 0, 100));
    writer(331, 330, 31, 0, 0);
    pass();
    ending(330, 700, 60);
    writer(331, 330, 31, 2 * MiB, 40);
    pass();
    machine.removeProcess(330);
    machine.removeProcess(331);
    machine.process(program(700, 150, "newcomer", 50, 3 * MiB, 100, 100 + 600));
    machine.process(program(210, 200, "bash", 4, 3 * MiB, 500, 240 + 700));
    subreaper(12 * MiB, 1250, 230);
    reaped = pass();
    EXPECT_EQ(writeRate(reaped, "systemd"), 0u);
    EXPECT_EQ(share(reaped, "systemd"), 0);
    EXPECT_EQ(writeRate(reaped, "newcomer"), 3 * MiB / 2);
    EXPECT_EQ(writeRate(reaped, "bash"), 3 * MiB / 2);

    // A session whose job started in the very tick it did, killed before any pass read the job's
    // shell, and reaped only after the pass read the session: the writer waits a pass, and is then
    // found in the session's rise.
    auto session = [&](std::uint64_t written, std::uint64_t reapedFaults, std::uint64_t reapedTicks) {
        FakeProcess process = program(800, 150, "session", 70, written, 100, reapedFaults);
        process.reapedUtime = reapedTicks;
        machine.process(process);
    };
    session(0, 0, 0);
    pass();
    killedTogether(810, 800, 70, 70);
    reaped = pass();
    EXPECT_EQ(writeRate(reaped, "session"), 0u);
    session(2 * MiB, 120 + 400, 40);
    reaped = pass();
    EXPECT_EQ(writeRate(reaped, "session"), 0u);
    EXPECT_EQ(share(reaped, "session"), 0);
    EXPECT_EQ(writeRate(reaped, "systemd"), 0u);

    // A shell read whole, then gone from a pass while its writer, forked in the shell's own tick, was
    // still read: the shell's last reading carries the line to the session. Cron reaps a job of its
    // own, never seen, that would fit the writer more closely.
    machine.process(program(820, 800, "jobsh", 80, 0, 120));
    writer(821, 820, 80, 0, 0);
    pass();
    machine.removeProcess(820);
    session(2 * MiB, 520 + 120, 40);
    writer(821, 820, 80, 2 * MiB, 40);
    pass();
    machine.removeProcess(821);
    session(4 * MiB, 640 + 400, 80);
    machine.process(program(160, 1, "cron", 1, 10 * MiB, 900, 800));
    reaped = pass();
    EXPECT_EQ(writeRate(reaped, "session"), 0u);
    EXPECT_EQ(share(reaped, "session"), 0);
    EXPECT_EQ(writeRate(reaped, "cron"), MiB);
}


TEST(AppUsageSampler, NeverChargesAProcessLessThanItWroteItself) {
    FakeMachine machine;
    // A server that ignores SIGCHLD: the kernel reaps its workers and drops their totals. It writes
    // 6 MiB itself through a thread that has ended. The session's reaper above it reaps a job of its
    // own, never seen, as large as the worker: the worker was not its to reap.
    machine.process(program(290, 1, "session", 1, 0, 900));
    machine.process(program(300, 290, "server", 1, 0, 900));
    machine.process(program(301, 300, "server", 2, 4 * MiB, 300, 0, 4 * MiB));
    // A starter that double-forks a job: the middle process, which wrote 1 MiB, ends and is reaped by
    // the starter, the job is adopted and reaped elsewhere. The starter writes 5 MiB itself. The
    // server's worker, which no rise holds, never keeps the others from being found.
    machine.process(program(310, 1, "starter", 3, 0, 900));
    machine.process(program(311, 310, "starter", 4, MiB, 150, 0, MiB));
    machine.process(program(312, 311, "job", 5, 4 * MiB, 400, 0, 4 * MiB));
    // A parent whose count rose by less than its ended child had written (no kernel does so): charged
    // what its count rose by, never a wrapped-around figure.
    machine.process(program(320, 1, "odd", 6, 10 * MiB, 900, 0, 10 * MiB));
    machine.process(program(321, 320, "oddchild", 7, 4 * MiB, 300, 0, 4 * MiB));
    AppUsageSampler sampler(machine.roots());
    Instant start = Instant::fromReferenceSeconds(0);
    sampler.sampleApps(start, 1);

    for (int pid : {301, 311, 312, 321}) machine.removeProcess(pid);
    machine.process(program(300, 290, "server", 1, 6 * MiB, 900));
    machine.process(program(290, 1, "session", 1, 4 * MiB, 900, 300));
    machine.process(program(310, 1, "starter", 3, 6 * MiB, 900, 152));
    machine.process(program(320, 1, "odd", 6, 11 * MiB, 900, 400, 10 * MiB));
    auto pass = sampler.sampleApps(start.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(writeRate(*pass, "server"), 3 * MiB);
    EXPECT_EQ(writeRate(*pass, "session"), 2 * MiB);
    EXPECT_EQ(writeRate(*pass, "starter"), 5 * MiB / 2);
    EXPECT_EQ(writeRate(*pass, "odd"), MiB / 2);

    // A count that went back (a process whose counters cannot be trusted) charges nothing.
    machine.process(program(320, 1, "odd", 6, 2 * MiB, 900, 400, 2 * MiB));
    pass = sampler.sampleApps(start.addingSeconds(4), 1);
    EXPECT_EQ(writeRate(*pass, "odd"), 0u);
}

TEST(AppUsageSampler, CountsWhatAShellsChildrenWroteOnceOnTheKernelsCounters) {
    TempTree tree;
    // The first dd runs whole between two passes; the second, under a name of its own, copies what
    // the test feeds it and is seen half way.
    const std::filesystem::path copier = tree.path() / "copying-dd";
    std::filesystem::copy_file("/bin/dd", copier);
    std::filesystem::permissions(copier, std::filesystem::perms::owner_all);
    ScriptedShell shell(tree.path() / "reaping-shell",
                        "echo ready; read go; dd if=/dev/zero of=\"$1\" bs=1M count=8 2>/dev/null; echo reaped; read go; exec 3<&0; '" +
                            copier.string() + "' of=\"$1.2\" bs=1M count=8 iflag=fullblock 2>/dev/null <&3 & echo $!; wait $!; echo reaped; read go",
                        tree.path() / "written");
    ASSERT_GT(shell.pid(), 0);
    ASSERT_EQ(shell.nextLine(), "ready");
    OwnSampler sampler(tree.path());
    const std::filesystem::path shellTotal = "/proc/" + std::to_string(shell.pid()) + "/io";
    std::uint64_t totalBefore = kernelWriteCount(shellTotal);
    Instant now = Instant::fromReferenceSeconds(0);
    ASSERT_TRUE(sampler.sampleApps(now, 1));

    shell.say("go");
    ASSERT_EQ(shell.nextLine(), "reaped");
    std::uint64_t totalAfter = kernelWriteCount(shellTotal);
    auto pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    if (totalAfter - totalBefore < 8 * MiB) GTEST_SKIP() << "this file system does not count what is written to it";
    ASSERT_TRUE(appRow(*pass, "reaping-shell"));
    EXPECT_EQ(appRow(*pass, "reaping-shell")->processCount, 1);
    EXPECT_EQ(writeRate(*pass, "reaping-shell"), (totalAfter - totalBefore) / 2);  // never seen, so all of it is the shell's

    shell.say("go");
    const std::string dd = shell.nextLine();
    ASSERT_FALSE(dd.empty());
    shell.feed(4 * MiB);
    const std::filesystem::path copy = tree.path() / "written.2";
    while (!std::filesystem::exists(copy) || std::filesystem::file_size(copy) < 4 * MiB) std::this_thread::yield();
    totalBefore = kernelWriteCount(shellTotal);
    pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    const std::uint64_t seen = kernelWriteCount("/proc/" + dd + "/io");  // waiting for more to copy
    EXPECT_GE(seen, 4 * MiB);
    EXPECT_EQ(writeRate(*pass, "copying-dd"), seen / 2);
    EXPECT_EQ(writeRate(*pass, "reaping-shell"), 0u);
    shell.feed(4 * MiB);
    ASSERT_EQ(shell.nextLine(), "reaped");
    totalAfter = kernelWriteCount(shellTotal);
    pass = sampler.sampleApps(now.addingSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_FALSE(appRow(*pass, "copying-dd"));
    EXPECT_EQ(writeRate(*pass, "reaping-shell"), (totalAfter - totalBefore - seen) / 2);
    EXPECT_NEAR(static_cast<double>(writeRate(*pass, "reaping-shell")), 2.0 * MiB, 64.0 * KiB);
}

// On the kernel's own counters: a job shell and its writer killed together below a shell that
// stays; the writer, orphaned, is reaped by a child-subreaper, or by the first process of a PID
// namespace of its own (as root). What it wrote shows once, in its own row.
TEST(AppUsageSampler, CountsAnOrphanOnceOnTheKernelsCounters) {
    for (bool namespaced : {false, true}) {
        SCOPED_TRACE(namespaced ? "reaped by the first process of a PID namespace" : "reaped by a child-subreaper");
        TempTree tree;
        OrphaningSession session(tree, namespaced);
        if (!session.writerSays("ready")) {
            if (namespaced) GTEST_SKIP() << "no PID namespace of our own here";
            GTEST_SKIP() << "no child-subreaper here";
        }
        const std::optional<ProcessKey> writer = processOf(tree.path() / "orphan-writer");
        ASSERT_TRUE(writer);
        const std::filesystem::path writerTotal = "/proc/" + std::to_string(writer->pid) + "/io";
        // The writer waits for its go-ahead: all it writes from here comes after the first pass.
        const std::uint64_t before = kernelWriteCount(writerTotal);
        OwnSampler sampler(tree.path());
        Instant now = Instant::fromReferenceSeconds(0);
        ASSERT_TRUE(sampler.sampleApps(now, 1));
        session.startWriter();
        ASSERT_TRUE(session.writerSays("done"));
        const std::uint64_t written = kernelWriteCount(writerTotal) - before;
        if (written < 8 * MiB) GTEST_SKIP() << "this file system does not count what is written to it";
        auto seen = sampler.sampleApps(now = now.addingSeconds(2), 1);
        ASSERT_TRUE(seen);
        EXPECT_EQ(writeRate(*seen, "orphan-writer"), written / 2);

        // Passes until the writer is reaped, and one more: a reaper read before it reaped shows it
        // at the next pass.
        session.killJob();
        ProcessTable table(SystemRoots{});
        std::uint64_t shownAbove = 0;
        for (bool reaped = false, last = false; !last;) {
            ASSERT_LT(now.secondsSince(Instant::fromReferenceSeconds(0)), 200'000) << "the writer is never reaped";
            last = reaped;
            const auto start = table.start(writer->pid);
            reaped = !start || start->ticks != writer->startTicks;  // gone: its totals are in its reaper's
            auto pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
            ASSERT_TRUE(pass);
            for (const char* above : {"session-reaper", "stay-shell", "job-shell"}) shownAbove += 2 * writeRate(*pass, above);
            std::this_thread::yield();
        }
        EXPECT_EQ(shownAbove, 0u);
    }
}

// On the kernel's own counters, as root: a shell of the user nobody runs a setuid copy of dd that
// belongs to another user, so that the monitor, run as nobody, cannot read it. dd copies what the test
// feeds it, is seen half way, and is reaped by the shell, which is charged nothing for it.
TEST(AppUsageSampler, ChargesAShellNothingForAnUnreadableWriterOnTheKernelsCounters) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "a program of another user's is made as root";
    TempTree tree;
    const std::filesystem::path writer = tree.path() / "setuid-dd";
    std::filesystem::copy_file("/bin/dd", writer);
    constexpr uid_t otherUser = 4243;  // nobody's, and no process's
    if (::chown(writer.c_str(), otherUser, otherUser) != 0 || ::chmod(writer.c_str(), 04755) != 0 || ::chmod(tree.path().c_str(), 0777) != 0)
        GTEST_SKIP() << "no setuid program of another user can be made here";
    const std::string result = ForkedChild::runAsNobody([&]() -> std::string {
        ScriptedShell shell(tree.path() / "waiting-shell",
                            "echo ready; read go; exec 3<&0; \"$1\" of=\"$1.written\" bs=1M count=8 iflag=fullblock 2>/dev/null <&3 & "
                            "echo $!; wait $!; echo reaped; read go",
                            writer);
        if (shell.nextLine() != "ready") return "the shell did not start";
        OwnSampler sampler(tree.path());
        Instant now = Instant::fromReferenceSeconds(0);
        if (!sampler.sampleApps(now, 1)) return "no first pass";

        shell.say("go");
        const std::string dd = shell.nextLine();
        shell.feed(4 * MiB);
        const std::filesystem::path copy = writer.string() + ".written";
        while (!std::filesystem::exists(copy) || std::filesystem::file_size(copy) < 4 * MiB) std::this_thread::yield();
        if (ProcessTable(SystemRoots{}).read(std::stoi(dd))) return "skip: the setuid bit is ignored here";
        auto seen = sampler.sampleApps(now = now.addingSeconds(2), 1);
        const std::filesystem::path shellTotal = "/proc/" + std::to_string(shell.pid()) + "/io";
        const std::uint64_t totalBefore = kernelWriteCount(shellTotal);
        shell.feed(4 * MiB);
        if (shell.nextLine() != "reaped") return "the writer did not end";
        const std::uint64_t totalAfter = kernelWriteCount(shellTotal);
        auto reaped = sampler.sampleApps(now.addingSeconds(2), 1);
        if (totalAfter - totalBefore < 8 * MiB) return "skip: this file system does not count what is written to it";
        std::string failures;
        ForkedChild::check(failures, seen && reaped && appRow(*reaped, "waiting-shell"), "no passes with the shell");
        if (!failures.empty()) return failures;
        ForkedChild::check(failures, !appRow(*seen, "setuid-dd") && writeRate(*seen, "waiting-shell") == 0, "charged while the writer ran");
        ForkedChild::check(failures, writeRate(*reaped, "waiting-shell") == 0,
                           "the shell was charged " + std::to_string(writeRate(*reaped, "waiting-shell")) + " B/s");
        return failures;
    });
    if (result.starts_with("skip: ")) GTEST_SKIP() << result.substr(6);
    EXPECT_EQ(result, "");
}

// On the kernel's own counters, as root: a shell of the user nobody writes 1 MiB itself between two
// passes, and in each reaps a setuid copy of cat that belongs to another user, which the monitor, run
// as nobody, cannot read, and starts the next. The shell keeps at least 90 % of what it wrote.
TEST(AppUsageSampler, KeepsAShellsOwnWritesWhileItReapsUnreadableHelpersOnTheKernelsCounters) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "a program of another user's is made as root";
    TempTree tree;
    const std::filesystem::path helper = tree.path() / "setuid-cat";
    const std::filesystem::path fifo = tree.path() / "fifo";
    std::filesystem::copy_file("/bin/cat", helper);
    constexpr uid_t otherUser = 4243;  // nobody's, and no process's
    if (::chown(helper.c_str(), otherUser, otherUser) != 0 || ::chmod(helper.c_str(), 04755) != 0 || ::chmod(tree.path().c_str(), 0777) != 0 ||
        ::mkfifo(fifo.c_str(), 0666) != 0 || ::chmod(fifo.c_str(), 0666) != 0)
        GTEST_SKIP() << "no setuid program of another user can be made here";
    const std::string result = ForkedChild::runAsNobody([&]() -> std::string {
        ScriptedShell shell(tree.path() / "reaping-writer",
                            "echo ready; while read command; do case $command in "
                            "spawn) \"$1/setuid-cat\" \"$1/fifo\" >/dev/null & child=$!; echo $child;; "
                            "write) printf '%01048576d' 0 >>\"$1/written\"; echo wrote;; "
                            "reap) wait $child; echo reaped;; esac; done",
                            tree.path());
        if (shell.nextLine() != "ready") return "the shell did not start";
        // The helper runs its setuid program once it has opened the FIFO, which it holds until closed.
        auto spawn = [&]() -> int {
            shell.say("spawn");
            const std::string pid = shell.nextLine();
            int fd = -1;
            const std::filesystem::path stat = "/proc/" + pid + "/stat";
            while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO) {
                const std::string record = TempTree::read(stat);
                const size_t name = record.rfind(')');
                if (name == std::string::npos || name + 2 >= record.size() || record[name + 2] == 'Z' || record[name + 2] == 'X') return -1;
                std::this_thread::yield();
            }
            return fd;
        };
        auto reapAndWrite = [&](int helperFifo) {
            ::close(helperFifo);  // the helper reads to the end and ends
            shell.say("reap");
            shell.say("write");
            return shell.nextLine() == "reaped" && shell.nextLine() == "wrote";
        };
        OwnSampler sampler(tree.path());
        Instant now = Instant::fromReferenceSeconds(0);
        int helperFifo = spawn();
        if (helperFifo < 0) return "the helper did not start";
        if (!sampler.sampleApps(now, 1)) return "no first pass";
        const std::filesystem::path shellTotal = "/proc/" + std::to_string(shell.pid()) + "/io";
        const std::uint64_t totalBefore = kernelWriteCount(shellTotal);
        std::uint64_t shown = 0;
        for (int passes = 0; passes < 5; ++passes) {
            if (!reapAndWrite(helperFifo)) return "the shell did not reap and write";
            helperFifo = spawn();
            if (helperFifo < 0) return "the helper did not start";
            auto pass = sampler.sampleApps(now = now.addingSeconds(2), 1);
            if (!pass) return "a pass failed";
            shown += 2 * writeRate(*pass, "reaping-writer");
            if (passes == 0 && appRow(*pass, "setuid-cat")) return "skip: the setuid bit is ignored here";
        }
        const std::uint64_t written = kernelWriteCount(shellTotal) - totalBefore;
        ::close(helperFifo);
        shell.say("reap");
        if (written < 5 * MiB) return "skip: this file system does not count what is written to it";
        std::string failures;
        ForkedChild::check(failures, shown >= written * 9 / 10 && shown <= written,
                           "shown " + std::to_string(shown) + " of the " + std::to_string(written) + " bytes the shell wrote");
        return failures;
    });
    if (result.starts_with("skip: ")) GTEST_SKIP() << result.substr(6);
    EXPECT_EQ(result, "");
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
    const AppUsage* firefox = appRow(*pass, "org.mozilla.firefox.desktop");
    ASSERT_TRUE(firefox);
    EXPECT_EQ(firefox->name, "My Firefox");
    EXPECT_EQ(firefox->iconName, "/opt/fx.png");
    EXPECT_EQ(firefox->processCount, 2);
    EXPECT_EQ(firefox->memory, 30 * page);
    ASSERT_TRUE(appRow(*pass, "code.desktop"));  // by its window class
    EXPECT_EQ(appRow(*pass, "code.desktop")->name, "Visual Studio Code");
    const AppUsage* calculator = appRow(*pass, "org.gnome.Calculator.desktop");  // by its Flatpak sandbox
    ASSERT_TRUE(calculator);
    EXPECT_EQ(calculator->iconName, "org.gnome.Calculator");
    // An interpreter named by an entry is no application of its own; a hidden entry names nothing.
    EXPECT_TRUE(appRow(*pass, "python3.11"));
    EXPECT_TRUE(appRow(*pass, "gedit"));
    // An entry below the folder, as Wine makes them, by its desktop-file ID.
    ASSERT_TRUE(appRow(*pass, "wine-Programs-Notepad++.desktop"));
    EXPECT_EQ(appRow(*pass, "wine-Programs-Notepad++.desktop")->name, "Notepad++");
    EXPECT_EQ(pass->apps.size(), 6u);

    // An application installed while the monitor runs is picked up at the next pass.
    entry("home/.local/share", "org.gnome.gedit.desktop", "Name=Gedit\nExec=gedit %U\n");
    std::filesystem::last_write_time(machine.tree.path() / "home/.local/share/applications",
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    pass = sampler.sampleApps(Instant::fromReferenceSeconds(102), 2);
    ASSERT_TRUE(pass);
    ASSERT_TRUE(appRow(*pass, "org.gnome.gedit.desktop"));
    EXPECT_FALSE(appRow(*pass, "gedit"));
    EXPECT_TRUE(appRow(*pass, "org.mozilla.firefox.desktop"));
}

// What processes hold, as the kernel's status files give it: pages of a mapped file are no one's, a
// process's anonymous pages are its own, and shared memory that several processes of one application
// map counts once, as the most any one of them maps.
TEST(AppUsageSampler, AnApplicationHoldsItsProcessesOwnPagesAndTheirSharedMemoryOnce) {
    FakeMachine machine;
    const std::uint64_t pages = 100 * MiB / page;
    machine.process({.pid = 100, .comm = "browser", .exe = "/opt/browser/browser", .startTicks = 1, .rssPages = pages, .fileKiB = 60 * 1024, .shmemKiB = 30 * 1024});
    machine.process({.pid = 101, .comm = "browser", .exe = "/opt/browser/browser", .startTicks = 2, .rssPages = pages, .fileKiB = 80 * 1024, .shmemKiB = 20 * 1024});
    machine.process({.pid = 102, .comm = "browser", .exe = "/opt/browser/browser", .startTicks = 3, .rssPages = pages, .fileKiB = 70 * 1024, .shmemKiB = 30 * 1024});
    machine.process({.pid = 200, .comm = "viewer", .exe = "/usr/bin/viewer", .startTicks = 4, .rssPages = pages, .fileKiB = 100 * 1024});
    AppUsageSampler sampler(machine.roots(), {});
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(0), 1);
    ASSERT_TRUE(pass);
    const std::uint64_t resident = pages * page;
    EXPECT_EQ(appRow(*pass, "browser")->memory, (resident - 90 * MiB) + (resident - 100 * MiB) + (resident - 100 * MiB) + 30 * MiB);
    EXPECT_EQ(appRow(*pass, "viewer")->memory, 0u);

    // A process whose resident size changed is read again: it filled 20 MiB more of its own.
    machine.process({.pid = 200, .comm = "viewer", .exe = "/usr/bin/viewer", .startTicks = 4, .rssPages = pages + 20 * MiB / page, .fileKiB = 100 * 1024});
    pass = sampler.sampleApps(Instant::fromReferenceSeconds(2), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(appRow(*pass, "viewer")->memory, 20 * MiB / page * page);
    EXPECT_EQ(appRow(*pass, "browser")->memory, (resident - 90 * MiB) + (resident - 100 * MiB) + (resident - 100 * MiB) + 30 * MiB);
}

namespace {

// A field of /proc/PID/smaps_rollup in bytes; absent where the kernel has none.
std::optional<std::uint64_t> rollupField(pid_t pid, const std::string& field) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string name;
    std::uint64_t kiB = 0;
    std::string unit;
    while (rollup >> name) {
        if (name == field + ":" && rollup >> kiB >> unit) return kiB * KiB;
        rollup.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return std::nullopt;
}

// The memory holder, copied into `tree` under a name of its own.
std::filesystem::path memoryHolder(const TempTree& tree, const char* name) {
    std::filesystem::copy_file(QUARNELL_MEMORY_HOLDER, tree.path() / name);
    std::filesystem::permissions(tree.path() / name, std::filesystem::perms::owner_all);
    return tree.path() / name;
}

// A process and the children it forked.
std::vector<pid_t> familyOf(pid_t parent) {
    std::vector<pid_t> family{parent};
    std::ifstream children("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children");
    for (pid_t child; children >> child;) family.push_back(child);
    return family;
}

}  // namespace

// On the kernel's own counters: six processes map one 64 MiB file read-only and read all of it, as a
// browser's processes map its libraries and data; three fill 32 MiB each of their own. Each row holds
// at least the pages its processes filled, at most their proportional share of every page they map
// (smaps_rollup's Pss) and a tenth more, and never more than the machine has in use.
TEST(AppUsageSampler, AnApplicationHoldsWhatItsProcessesHoldOnTheKernelsCounters) {
    TempTree tree;
    const std::filesystem::path file = tree.file("shared.bin", 64 * MiB, 'q');
    for (const char* program : {"mapping-holder", "owning-holder"}) memoryHolder(tree, program);
    // Each holds what it was told to until the test ends.
    std::vector<std::unique_ptr<PipedProgram>> mapping;
    std::vector<std::unique_ptr<PipedProgram>> owning;
    for (int i = 0; i < 6; ++i)
        mapping.push_back(std::make_unique<PipedProgram>(tree.path() / "mapping-holder", std::vector<std::string>{"map", file.string()}));
    for (int i = 0; i < 3; ++i)
        owning.push_back(std::make_unique<PipedProgram>(tree.path() / "owning-holder", std::vector<std::string>{"own", std::to_string(32 * MiB)}));
    for (auto* holders : {&mapping, &owning})
        for (auto& holder : *holders) ASSERT_TRUE(holder->pid() > 0 && holder->nextLine() == "ready");
    if (!rollupField(mapping[0]->pid(), "Pss")) GTEST_SKIP() << "this kernel has no smaps_rollup";

    OwnSampler sampler(tree.path());
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(0), 1);
    ASSERT_TRUE(pass);
    auto inUse = MemorySampler(SystemRoots{}).memoryUsage();
    ASSERT_TRUE(inUse);
    const std::uint64_t used = inUse->detail.app + inUse->detail.wired + inUse->detail.compressed;
    auto check = [&](const std::string& id, const std::vector<std::unique_ptr<PipedProgram>>& holders, std::uint64_t filled) {
        SCOPED_TRACE(id);
        const AppUsage* app = appRow(*pass, id);
        ASSERT_TRUE(app);
        EXPECT_EQ(app->processCount, static_cast<int>(holders.size()));
        std::uint64_t proportional = 0;
        for (const auto& holder : holders) proportional += rollupField(holder->pid(), "Pss").value_or(0);
        EXPECT_GE(app->memory, filled);
        EXPECT_LE(app->memory, proportional + proportional / 10) << "Pss " << proportional;
        EXPECT_LE(app->memory, used);
    };
    check("mapping-holder", mapping, 0);
    check("owning-holder", owning, 3 * 32 * MiB);
}

// A server that filled 60 MiB and forked eight workers, each of which still shares every page with
// it: their status files count 60 MiB each, their proportional shares a ninth of it. A pass reads a
// few of them at a time, those never read first, until the row holds the pages once; between
// readings a worker's own new pages add to its last share. Processes that were not forked from one
// another are never read.
TEST(AppUsageSampler, PagesForkedWorkersShareCountOnceReadAFewProcessesAPass) {
    FakeMachine machine;
    const std::uint64_t filled = 60 * MiB;
    auto server = [&](int pid, int ppid, std::uint64_t anonymous, std::uint64_t share) {
        machine.process({.pid = pid, .ppid = ppid, .comm = "server", .exe = "/usr/bin/server", .startTicks = std::uint64_t(pid),
                         .rssPages = anonymous / page, .pssAnonKiB = share / KiB});
    };
    for (int pid = 100; pid <= 108; ++pid) server(pid, pid == 100 ? 1 : 100, filled, filled / 9);
    // Two unrelated processes of one program, with a rollup that must never be read.
    for (int pid : {200, 201})
        machine.process({.pid = pid, .comm = "solo", .exe = "/usr/bin/solo", .startTicks = 50, .rssPages = 100 * MiB / page, .pssAnonKiB = 1});
    AppUsageSampler sampler(machine.roots(), {});
    std::vector<std::uint64_t> figures;
    for (int second = 0; second < 8; second += 2) {
        auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(second), 1);
        ASSERT_TRUE(pass);
        figures.push_back(appRow(*pass, "server")->memory);
        EXPECT_EQ(appRow(*pass, "solo")->memory, 200 * MiB);
    }
    const std::uint64_t share = filled / 9 / KiB * KiB;
    EXPECT_EQ(figures, (std::vector<std::uint64_t>{4 * share + 5 * filled, 8 * share + filled, 9 * share, 9 * share}));

    // A worker that filled 4 MiB of its own: its pages grew by less than an eighth, so it is not read
    // again, and what it gained counts whole.
    server(105, 100, filled + 4 * MiB, filled / 9 + 4 * MiB);
    auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(8), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(appRow(*pass, "server")->memory, 9 * share + 4 * MiB);
    // An id reused by another process of the same program is read afresh.
    machine.process({.pid = 106, .ppid = 100, .comm = "server", .exe = "/usr/bin/server", .startTicks = 999, .rssPages = filled / page,
                     .pssAnonKiB = filled / 2 / KiB});
    pass = sampler.sampleApps(Instant::fromReferenceSeconds(10), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(appRow(*pass, "server")->memory, 8 * share + 4 * MiB + filled / 2);

    // A pass walks no more than its share of pages: three processes of 200 MiB take three passes.
    FakeMachine large;
    for (int pid = 400; pid <= 402; ++pid)
        large.process({.pid = pid, .ppid = pid == 400 ? 1 : 400, .comm = "large", .exe = "/usr/bin/large", .startTicks = std::uint64_t(pid),
                       .rssPages = 200 * MiB / page, .pssAnonKiB = 200 * 1024 / 3});
    AppUsageSampler largeSampler(large.roots(), {});
    const std::uint64_t third = 200 * 1024 / 3 * KiB;
    for (std::uint64_t read = 1; read <= 3; ++read) {
        pass = largeSampler.sampleApps(Instant::fromReferenceSeconds(double(read)), 1);
        ASSERT_TRUE(pass);
        EXPECT_EQ(appRow(*pass, "large")->memory, read * third + (3 - read) * 200 * MiB);
    }
}

// A server and two workers forked from it, 60 MiB of pages each as their status files count them, a
// third of it each in fact. Their shares are read again when the shared memory they map together
// moves by more than an eighth, and between readings what each maps more is taken as its own: the
// server fills a shared buffer pool that all of them map, and a third worker comes to map it too, then
// goes, which moves each one's share of the pool while its own count stands still. However still their
// status files stand, they are read again 30 passes after they were read (the workers wrote to pages
// they shared, which made them their own).
TEST(AppUsageSampler, AForkedFamilysSharesAreReadAgainWhenItsSharedMemoryMovesAndAfterThirtyPasses) {
    FakeMachine machine;
    auto family = [&](int workers, std::uint64_t sharedMemory, std::uint64_t anonymousShare, std::uint64_t sharedShare) {
        for (int pid = 100; pid <= 100 + workers; ++pid)
            machine.process({.pid = pid, .ppid = pid == 100 ? 1 : 100, .comm = "postgres", .exe = "/usr/bin/postgres",
                             .startTicks = std::uint64_t(pid), .rssPages = (60 * MiB + sharedMemory) / page, .shmemKiB = sharedMemory / KiB,
                             .pssAnonKiB = anonymousShare / KiB, .pssShmemKiB = sharedShare / KiB});
    };
    AppUsageSampler sampler(machine.roots(), {});
    int second = 0;
    auto memory = [&] {
        auto pass = sampler.sampleApps(Instant::fromReferenceSeconds(second += 2), 1);
        return pass && appRow(*pass, "postgres") ? appRow(*pass, "postgres")->memory : 0;
    };
    family(2, 0, 20 * MiB, 0);
    EXPECT_EQ(memory(), 60 * MiB);
    family(2, 240 * MiB, 20 * MiB, 80 * MiB);
    EXPECT_EQ(memory(), 60 * MiB + 240 * MiB);
    family(2, 264 * MiB, 20 * MiB, 88 * MiB);  // a tenth more: not read, and taken as each one's own meanwhile
    EXPECT_EQ(memory(), 60 * MiB + 3 * (80 + 24) * MiB);
    family(3, 264 * MiB, 15 * MiB, 66 * MiB);
    EXPECT_EQ(memory(), 60 * MiB + 264 * MiB);
    machine.removeProcess(103);
    family(2, 264 * MiB, 20 * MiB, 88 * MiB);
    EXPECT_EQ(memory(), 60 * MiB + 264 * MiB);
    family(2, 264 * MiB, 30 * MiB, 88 * MiB);
    for (int passes = 1; passes < 30; ++passes) ASSERT_EQ(memory(), 60 * MiB + 264 * MiB) << "after " << passes << " passes";
    EXPECT_EQ(memory(), 90 * MiB + 264 * MiB);

    // The last worker comes to map 48 MiB of the pool that the other two had in already: its count
    // moves by more than an eighth, the family's by less. It is read again, and holds a third of those
    // pages, not all of them (the others' thirds were theirs as last read).
    machine.process({.pid = 102, .ppid = 100, .comm = "postgres", .exe = "/usr/bin/postgres", .startTicks = 102,
                     .rssPages = (60 * MiB + 312 * MiB) / page, .shmemKiB = 312 * MiB / KiB, .pssAnonKiB = 30 * MiB / KiB,
                     .pssShmemKiB = (88 + 16) * MiB / KiB});
    EXPECT_EQ(memory(), 90 * MiB + (88 + 88 + 104) * MiB);
}

// Forked processes whose share cannot be read (another user's, ended since) are tried once in a
// while, never at every pass ahead of the others: the family that can be read is read all the same.
TEST(AppUsageSampler, ProcessesThatCannotBeReadNeverKeepTheOthersFromTheirTurn) {
    FakeMachine machine;
    for (int pid = 300; pid <= 308; ++pid)
        machine.process({.pid = pid, .ppid = pid == 300 ? 1 : 300, .comm = "locked", .exe = "/usr/bin/locked", .startTicks = std::uint64_t(pid),
                         .rssPages = 400 * MiB / page});
    for (int pid = 100; pid <= 104; ++pid)
        machine.process({.pid = pid, .ppid = pid == 100 ? 1 : 100, .comm = "server", .exe = "/usr/bin/server", .startTicks = std::uint64_t(pid),
                         .rssPages = 100 * MiB / page, .pssAnonKiB = 20 * 1024});
    AppUsageSampler sampler(machine.roots(), {});
    std::optional<AppUsagePass> pass;
    for (int second = 0; second < 40; second += 2) pass = sampler.sampleApps(Instant::fromReferenceSeconds(second), 1);
    ASSERT_TRUE(pass);
    EXPECT_EQ(appRow(*pass, "server")->memory, 100 * MiB);
    EXPECT_EQ(appRow(*pass, "locked")->memory, 9 * 400 * MiB);
}

// On the kernel's own counters: a process fills 64 MiB and forks four workers that hold it, as
// preloading servers and prefork pools do. Once each has been read, the row holds at least what was
// filled, at most the processes' Pss and a tenth more, and never more than the machine has in use.
TEST(AppUsageSampler, ForkedWorkersHoldWhatTheirParentFilledOnceOnTheKernelsCounters) {
    TempTree tree;
    const std::uint64_t filled = 64 * MiB;
    PipedProgram holder(memoryHolder(tree, "forking-holder"), {"fork", std::to_string(filled), "4"});
    ASSERT_TRUE(holder.pid() > 0 && holder.nextLine() == "ready");
    if (!rollupField(holder.pid(), "Pss_Anon")) GTEST_SKIP() << "this kernel's smaps_rollup has no Pss_Anon";
    const std::vector<pid_t> family = familyOf(holder.pid());
    ASSERT_EQ(family.size(), 5u);

    OwnSampler sampler(tree.path());
    // A pass reads at most 256 MiB of their pages: two passes read all five.
    std::optional<AppUsagePass> pass;
    for (int second = 0; second < 4; second += 2) pass = sampler.sampleApps(Instant::fromReferenceSeconds(second), 1);
    ASSERT_TRUE(pass);
    const AppUsage* app = appRow(*pass, "forking-holder");
    ASSERT_TRUE(app);
    EXPECT_EQ(app->processCount, 5);
    std::uint64_t proportional = 0;
    std::uint64_t resident = 0;
    for (pid_t pid : family) {
        proportional += rollupField(pid, "Pss").value_or(0);
        resident += rollupField(pid, "Anonymous").value_or(0);
    }
    auto inUse = MemorySampler(SystemRoots{}).memoryUsage();
    ASSERT_TRUE(inUse);
    EXPECT_GE(app->memory, filled);
    EXPECT_LE(app->memory, proportional + proportional / 10) << "Pss " << proportional << ", anonymous pages as each counts them " << resident;
    EXPECT_LE(app->memory, inUse->detail.app + inUse->detail.wired + inUse->detail.compressed);
}

// On the kernel's own counters: a server fills 32 MiB of its own, maps 200 MiB of shared memory and
// forks three workers. After the first pass it fills the shared memory and each worker reads all of
// it, as a database warming its buffer pool does, while their own pages stay as they were: within two
// passes the row holds the family's Pss to within 5 %.
TEST(AppUsageSampler, AForkedFamilysSharedMemoryCountsAsItFillsOnTheKernelsCounters) {
    TempTree tree;
    PipedProgram server(memoryHolder(tree, "warming-server"), {"fork-sharing", std::to_string(32 * MiB), std::to_string(200 * MiB), "3"});
    ASSERT_TRUE(server.pid() > 0 && server.nextLine() == "ready");
    if (!rollupField(server.pid(), "Pss_Shmem")) GTEST_SKIP() << "this kernel's smaps_rollup has no Pss_Shmem";
    const std::vector<pid_t> family = familyOf(server.pid());
    ASSERT_EQ(family.size(), 4u);
    auto summedPss = [&] {
        std::uint64_t sum = 0;
        for (pid_t pid : family) sum += rollupField(pid, "Pss").value_or(0);
        return sum;
    };

    OwnSampler sampler(tree.path());
    auto first = sampler.sampleApps(Instant::fromReferenceSeconds(0), 1);
    ASSERT_TRUE(first && appRow(*first, "warming-server"));
    EXPECT_NEAR(double(appRow(*first, "warming-server")->memory), double(summedPss()), 0.05 * double(summedPss()));
    server.say("fill");
    ASSERT_EQ(server.nextLine(), "filled");
    std::optional<AppUsagePass> pass;
    for (int second = 2; second <= 4; second += 2) pass = sampler.sampleApps(Instant::fromReferenceSeconds(second), 1);
    ASSERT_TRUE(pass && appRow(*pass, "warming-server"));
    const std::uint64_t proportional = summedPss();
    EXPECT_GE(proportional, 200 * MiB);
    EXPECT_NEAR(double(appRow(*pass, "warming-server")->memory), double(proportional), 0.05 * double(proportional))
        << "Pss " << proportional;
}
