#include "Platform/ProcessRunner.h"
#include "Support/FakeTool.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

ProcessRunner::Options quickLimits(std::chrono::milliseconds deadline, std::chrono::milliseconds grace = 200ms) {
    ProcessRunner::Options options;
    options.limits.deadline = deadline;
    options.limits.terminateGrace = grace;
    return options;
}

// Running means present in /proc and not a zombie; the pid was written by the process itself moments ago.
bool isRunning(const std::string& pidText) {
    std::string stat = TempTree::read("/proc/" + pidText + "/stat");
    if (stat.empty()) return false;
    auto close = stat.rfind(')');
    return close != std::string::npos && stat.size() > close + 2 && stat[close + 2] != 'Z';
}

// A signalled process takes a moment to go; the limit is only there to end a failing test.
bool endsSoon(const std::string& pidText) {
    for (int i = 0; i < 1000 && isRunning(pidText); ++i) std::this_thread::sleep_for(10ms);
    return !isRunning(pidText);
}

std::string waitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 1000 && TempTree::read(path).empty(); ++i) std::this_thread::sleep_for(10ms);
    std::string text = TempTree::read(path);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// A tool that starts a helper in its group and waits for it; each writes its pid.
struct SlowTool {
    std::filesystem::path tool, childPid, helperPid;
};
SlowTool slowToolWithHelper(const TempTree& tree) {
    SlowTool slow{tree.path() / "slow", tree.path() / "child.pid", tree.path() / "helper.pid"};
    writeFakeTool(slow.tool, "sleep 30 &\necho $! > '" + slow.helperPid.string() + "'\necho $$ > '" + slow.childPid.string() + "'\nwait");
    return slow;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

TEST(ProcessRunner, PassesArgumentsAsBytesAndKeepsStreamsApart) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "echo-args", R"(printf '%s\0' "$@"; echo warning >&2; exit 3)");
    const std::vector<std::string> arguments = {"plain", "", "with space", "\"quoted\" 'single'", "back\\slash",
                                                "new\nline", "-leading-dash", "$(touch injected)", "bad\xff\xfe"};
    auto result = ProcessRunner::run(tool, arguments);

    std::string expected;
    for (const auto& argument : arguments) expected += argument + '\0';
    EXPECT_EQ(result.output, expected);
    EXPECT_EQ(result.errorOutput, "warning\n");
    EXPECT_TRUE(result.exitedNormally());
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.timedOut);
    EXPECT_FALSE(std::filesystem::exists("injected"));
}

TEST(ProcessRunner, ReportsTheSignalThatEndedTheChild) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "suicide", "kill -9 $$");
    auto result = ProcessRunner::run(tool, {});
    EXPECT_FALSE(result.exitedNormally());
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_FALSE(result.timedOut);
}

TEST(ProcessRunner, MissingOrUnrunnableProgramIsAStartError) {
    TempTree tree;
    auto plain = tree.write("not-executable", "#!/bin/sh\necho hi\n");
    auto noInterpreter = tree.write("no-shebang", "echo hi\n");
    std::filesystem::permissions(noInterpreter, std::filesystem::perms::owner_all);
    for (const auto& program : {tree.path() / "missing", plain, noInterpreter}) {
        try {
            ProcessRunner::run(program, {});
            ADD_FAILURE() << program << " ran";
        } catch (const ProcessRunner::StartError& error) {
            EXPECT_THAT(error.what(), ::testing::HasSubstr(program.string()));
            EXPECT_NE(error.code().value(), 0);
        }
    }
}

TEST(ProcessRunner, DeadlineTerminatesTheChildAndItsGroup) {
    TempTree tree;
    auto pidFile = tree.path() / "grandchild.pid";
    auto tool = writeFakeTool(tree.path() / "hang", "sleep 30 &\necho $! > '" + pidFile.string() + "'\necho partial\nwait");
    auto start = Clock::now();
    auto result = ProcessRunner::run(tool, {}, quickLimits(300ms));

    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_EQ(result.output, "partial\n");
    EXPECT_LT(secondsSince(start), 2.0);
    EXPECT_TRUE(endsSoon(waitForFile(pidFile)));
}

TEST(ProcessRunner, ChildIgnoringTerminateIsKilledAfterTheGrace) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "stubborn", "trap '' TERM\nwhile :; do sleep 0.05; done");
    auto start = Clock::now();
    auto result = ProcessRunner::run(tool, {}, quickLimits(200ms, 200ms));
    double seconds = secondsSince(start);

    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_GE(seconds, 0.4);
    EXPECT_LT(seconds, 2.0);
}

TEST(ProcessRunner, HelperHoldingTheOutputOpenDoesNotStallTheRead) {
    TempTree tree;
    auto pidFile = tree.path() / "helper.pid";
    auto tool = writeFakeTool(tree.path() / "leaves-helper",
                              "sleep 30 &\necho $! > '" + pidFile.string() + "'\necho done\necho note >&2");
    auto start = Clock::now();
    auto result = ProcessRunner::run(tool, {}, quickLimits(10s));

    EXPECT_LT(secondsSince(start), 2.0);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "done\n");
    EXPECT_EQ(result.errorOutput, "note\n");
    EXPECT_TRUE(endsSoon(waitForFile(pidFile)));
}

TEST(ProcessRunner, EscapedHelperKeepsTheReadOnlyUntilTheDeadline) {
    TempTree tree;
    // setsid leaves the group, so only the deadline ends the read; the helper ends by itself soon after.
    auto ready = (tree.path() / "escaped").string();
    auto tool = writeFakeTool(tree.path() / "escapes", "setsid sh -c \"echo > '" + ready + "'; exec sleep 2\" &\n"
                                                     "while [ ! -e '" + ready + "' ]; do sleep 0.01; done\necho done");
    auto start = Clock::now();
    auto result = ProcessRunner::run(tool, {}, quickLimits(300ms));

    EXPECT_GE(secondsSince(start), 0.3);
    EXPECT_LT(secondsSince(start), 1.5);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "done\n");
}

TEST(ProcessRunner, CapturedOutputIsBoundedWithoutBlockingTheChild) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "flood", "head -c 5000000 /dev/zero\nhead -c 300000 /dev/zero >&2\nexit 0");
    ProcessRunner::Options options = quickLimits(5s);
    options.limits.maxCapturedBytes = 1000;
    auto result = ProcessRunner::run(tool, {}, options);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output.size(), 1000u);
    EXPECT_EQ(result.errorOutput.size(), 1000u);
}

TEST(ProcessRunner, EndlessWriterStillMeetsTheDeadline) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "endless", "exec yes flood");
    // A small capture fills within the first writes, however slow the machine; the rest is read
    // and dropped until the deadline, which a child that never stops writing must not push back.
    ProcessRunner::Options options = quickLimits(500ms);
    options.limits.maxCapturedBytes = 4096;
    auto start = Clock::now();
    auto result = ProcessRunner::run(tool, {}, options);
    EXPECT_TRUE(result.timedOut);
    const auto& limits = options.limits;
    EXPECT_LT(secondsSince(start), std::chrono::duration<double>(limits.deadline + limits.terminateGrace + limits.killWait).count());
    std::string firstWrites;
    while (firstWrites.size() < 4096) firstWrites += "flood\n";
    firstWrites.resize(4096);
    EXPECT_EQ(result.output, firstWrites);
}

TEST(ProcessRunner, WritesToGivenFilesWithNothingElseInherited) {
    TempTree tree;
    auto outPath = tree.path() / "out.txt";
    auto errPath = tree.path() / "err.txt";
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    int leaked = ::open("/dev/null", O_RDONLY);  // without close-on-exec: must not reach the child
    auto tool = writeFakeTool(tree.path() / "lists-fds", "ls /proc/self/fd\necho oops >&2\nread line; echo \"stdin:$line\"");
    ProcessRunner::Options options = quickLimits(5s);
    options.outputFile = out;
    options.errorFile = err;
    auto result = ProcessRunner::run(tool, {}, options);
    ::close(out);
    ::close(err);
    ::close(leaked);

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(result.output.empty());
    // 0, 1, 2, and the descriptor ls opens for the listing itself.
    EXPECT_EQ(TempTree::read(outPath), "0\n1\n2\n3\nstdin:\n");
    EXPECT_EQ(TempTree::read(errPath), "oops\n");
}

TEST(ProcessRunner, GivenFilesHeldInStandardDescriptorsAreNotMixedUp) {
    // A program started with its standard descriptors closed gets its next files there.
    TempTree tree;
    auto outPath = tree.path() / "out.txt";
    auto errPath = tree.path() / "err.txt";
    int savedInput = ::dup(STDIN_FILENO);
    int savedOutput = ::dup(STDOUT_FILENO);
    std::fflush(stdout);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ::dup2(out, STDIN_FILENO);
    ::dup2(err, STDOUT_FILENO);
    ::close(out);
    ::close(err);
    auto tool = writeFakeTool(tree.path() / "both", "echo to-output\necho to-error >&2\nread line; echo \"stdin:$line\"");
    ProcessRunner::Options options = quickLimits(5s);
    options.outputFile = STDIN_FILENO;
    options.errorFile = STDOUT_FILENO;
    auto result = ProcessRunner::run(tool, {}, options);
    ::dup2(savedInput, STDIN_FILENO);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::close(savedInput);
    ::close(savedOutput);

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(TempTree::read(outPath), "to-output\nstdin:\n");
    EXPECT_EQ(TempTree::read(errPath), "to-error\n");
}

TEST(ProcessRunner, ChildDoesNotInheritIgnoredSignals) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "sleeper", "exec sleep 30");
    struct sigaction ignore {}, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &previous);
    auto result = ProcessRunner::run(tool, {}, quickLimits(200ms, 5s));
    ::sigaction(SIGTERM, &previous, nullptr);

    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.signal, SIGTERM);
}

TEST(ProcessRunner, StopKillsTheChildAndItsGroupAtOnce) {
    TempTree tree;
    const auto [tool, childPid, helperPid] = slowToolWithHelper(tree);
    std::stop_source stop;
    ProcessRunner::Options options = quickLimits(30s);
    options.stop = stop.get_token();
    std::thread stopper([&] {
        waitForFile(childPid);
        stop.request_stop();
    });
    auto result = ProcessRunner::run(tool, {}, options);
    stopper.join();

    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(result.ended);
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_FALSE(isRunning(waitForFile(childPid)));  // reaped before run returned
    EXPECT_TRUE(endsSoon(waitForFile(helperPid)));

    // Stopped before it starts: killed as soon as it runs.
    auto again = ProcessRunner::run(tool, {}, options);
    EXPECT_TRUE(again.stopped);
}

TEST(ProcessRunner, OutputConsumerThatHasEnoughEndsTheChild) {
    TempTree tree;
    auto tool = writeFakeTool(tree.path() / "endless", "while :; do echo line; done");
    std::string seen;
    ProcessRunner::Options options = quickLimits(30s);
    options.onOutput = [&](std::string_view piece) {
        seen += piece;
        return seen.size() < 100000;
    };
    auto result = ProcessRunner::run(tool, {}, options);
    EXPECT_TRUE(result.readEnough);
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(result.output.empty());  // handed over, not captured
    EXPECT_GE(seen.size(), 100000u);
    EXPECT_TRUE(seen.starts_with("line\nline\n"));
}

// A child frozen by the cgroup freezer does not end on SIGKILL until it is thawed, like a process
// stuck on a hung network mount.
TEST(ProcessRunner, ChildThatOutlivesTheKillIsReportedAndTheCallerGoesOn) {
    const std::filesystem::path freezer = "/sys/fs/cgroup/freezer";
    TempTree tree;
    const std::filesystem::path group = freezer / ("quarnell-test-" + std::to_string(::getpid()));
    std::error_code error;
    if (!std::filesystem::create_directory(group, error)) GTEST_SKIP() << "no cgroup freezer to stand in for a hung mount";
    auto write = [](const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; };

    auto childPid = tree.path() / "child.pid";
    auto tool = writeFakeTool(tree.path() / "stuck", "echo $$ > '" + childPid.string() + "'\nexec sleep 30");
    std::stop_source stop;
    ProcessRunner::Options options = quickLimits(30s);
    options.limits.killWait = 300ms;
    options.stop = stop.get_token();
    std::thread freezeThenStop([&] {
        const std::string pid = waitForFile(childPid);
        write(group / "cgroup.procs", pid);
        write(group / "freezer.state", "FROZEN");
        for (int i = 0; i < 1000 && waitForFile(group / "freezer.state") != "FROZEN"; ++i) std::this_thread::sleep_for(10ms);
        stop.request_stop();
    });
    auto result = ProcessRunner::run(tool, {}, options);
    freezeThenStop.join();
    const std::string pid = waitForFile(childPid);

    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.ended);
    EXPECT_TRUE(isRunning(pid));  // still there, frozen with the kill pending

    write(group / "freezer.state", "THAWED");
    for (int i = 0; i < 1000 && isRunning(pid); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(isRunning(pid));
    ProcessRunner::run("/bin/true", {});  // a later run reaps it
    EXPECT_TRUE(TempTree::read("/proc/" + pid + "/stat").empty());
    std::filesystem::remove(group, error);
}

// A process about to end without waiting for its workers ends their tools first: a child whose job
// no stop request reaches is killed with its group, and no child starts afterwards.
TEST(ProcessRunner, EndAllKillsTheRunningChildrenAndStartsNoMore) {
    const std::string notes = ForkedChild::runApart([] {
        std::string failures;
        TempTree tree;
        const auto [tool, childPid, helperPid] = slowToolWithHelper(tree);
        ProcessRunner::Result result;
        std::thread job([&] { result = ProcessRunner::run(tool, {}, quickLimits(30s)); });
        waitForFile(childPid);
        ProcessRunner::endAll();
        job.join();
        ForkedChild::check(failures, result.ended && result.signal == SIGKILL && !result.timedOut, "the child was not killed");
        ForkedChild::check(failures, !isRunning(waitForFile(childPid)), "the child still runs");
        ForkedChild::check(failures, endsSoon(waitForFile(helperPid)), "its group still runs");
        try {
            ProcessRunner::run(tool, {});
            failures += "a child started afterwards\n";
        } catch (const ProcessRunner::StartError& error) {
            ForkedChild::check(failures, error.code().value() == ECANCELED, error.what());
        }
        return failures;
    });
    EXPECT_EQ(notes, "");
}
