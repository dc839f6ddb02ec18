#include "Platform/ProcessTable.h"
#include "Platform/ProcessTerminator.h"
#include "Services/DevProjectsService.h"
#include "Support/FakeMachine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// A `sleep` child of this test; killed and reaped when the test ends, whatever happened.
class SleepingChild {
public:
    explicit SleepingChild(const std::string& program = "sleep") {
        std::string name = program;
        char seconds[] = "30";
        char* arguments[] = {name.data(), seconds, nullptr};
        EXPECT_EQ(::posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, arguments, environ), 0);
        // Wait until it runs sleep rather than our own image, so its program is what it will stay.
        ProcessTable table{SystemRoots{}};
        for (int attempt = 0; attempt < 500; ++attempt) {
            auto reading = table.read(pid_);
            if (reading && reading->executablePath.find("sleep") != std::string_view::npos) {
                identity_ = ProcessIdentity{pid_, reading->startTicks, std::string(reading->executablePath)};
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ADD_FAILURE() << "child did not start";
    }
    ~SleepingChild() {
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const ProcessIdentity& identity() const { return identity_; }
    static std::filesystem::path programPath() {
        for (const char* candidate : {"/usr/bin/sleep", "/bin/sleep"})
            if (std::filesystem::exists(candidate)) return candidate;
        return "sleep";
    }
    bool running() const { return !reaped_ && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    // Kills it and waits until it has ended, without reaping it: it stays a zombie.
    void killLeavingZombie() {
        ::kill(pid_, SIGKILL);
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT);
    }
    // Waits for its end; returns the signal that ended it, 0 when it ended otherwise.
    int endingSignal() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

private:
    pid_t pid_ = 0;
    ProcessIdentity identity_;
    bool reaped_ = false;
};

}  // namespace

TEST(ProcessTerminator, NeverSignalsInitOurselvesOrGroups) {
    for (std::int32_t pid : {0, 1, -1, -42, static_cast<std::int32_t>(::getpid())})
        EXPECT_EQ(ProcessTerminator::terminate({pid, 0, ""}), TerminationResult::refused) << pid;
}

TEST(ProcessTerminator, StopsOnlyTheProcessThatWasSeen) {
    SleepingChild child;
    // Same id, another start time or program: a different process now holds the id; nothing is sent.
    ProcessIdentity later = child.identity();
    later.startTicks += 1;
    EXPECT_EQ(ProcessTerminator::terminate(later), TerminationResult::gone);
    ProcessIdentity otherProgram = child.identity();
    otherProgram.executablePath = "/usr/bin/node";
    EXPECT_EQ(ProcessTerminator::terminate(otherProgram), TerminationResult::gone);
    EXPECT_TRUE(child.running());

    EXPECT_EQ(ProcessTerminator::terminate(child.identity()), TerminationResult::signalled);
    EXPECT_EQ(child.endingSignal(), SIGTERM);
    // Reaped, its id is free: never signalled again.
    EXPECT_EQ(ProcessTerminator::terminate(child.identity()), TerminationResult::gone);
}

TEST(ProcessTerminator, AProcessThatEndedButIsNotYetReapedIsGone) {
    // A server whose parent has not collected it yet has ended all the same: stopping it succeeded.
    SleepingChild child;
    child.killLeavingZombie();
    EXPECT_EQ(ProcessTerminator::terminate(child.identity()), TerminationResult::gone);
    EXPECT_EQ(child.endingSignal(), SIGKILL);
}

TEST(ProcessTerminator, AProgramReplacedOnDiskIsStillTheSameProcess) {
    FakeMachine scratch;
    std::filesystem::path copy = scratch.tree.path() / "sleep-copy";
    std::filesystem::copy_file(SleepingChild::programPath(), copy);
    SleepingChild child(copy.native());
    std::filesystem::remove(copy);  // the exe link now ends in " (deleted)"
    EXPECT_EQ(ProcessTerminator::terminate(child.identity()), TerminationResult::signalled);
    EXPECT_EQ(child.endingSignal(), SIGTERM);
}

TEST(ProcessTerminator, StoppingAProjectEndsEachOfItsRealProcesses) {
    SleepingChild first;
    SleepingChild second;
    SleepingChild bystander;
    FakeMachine machine;
    DevProjectsService service(machine.roots());
    DevProject project;
    project.id = "/home/u/web";
    project.pids = {first.identity().pid, second.identity().pid};
    project.processes = {first.identity(), second.identity()};
    EXPECT_TRUE(service.stop({project}).empty());
    EXPECT_EQ(first.endingSignal(), SIGTERM);
    EXPECT_EQ(second.endingSignal(), SIGTERM);
    EXPECT_TRUE(bystander.running());

    // Our own process in a project: refused, and reported.
    DevProject ours = project;
    ours.processes = {ProcessIdentity{static_cast<std::int32_t>(::getpid()), 0, ""}};
    EXPECT_EQ(service.stop({ours}).size(), 1u);
}
