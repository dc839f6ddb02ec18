#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Runs one program to its end under a time limit, without a shell. The child gets /dev/null as its
// standard input and a process group of its own; it is watched through a pidfd, so a signal never
// reaches a process that merely inherited a reused pid. Blocks the calling thread: call it off the
// main thread.
//
// The limits: at the deadline the child and its group get SIGTERM; a child still running after the
// grace period gets SIGKILL. When the child ends, whatever it left running in its group is killed,
// so a helper holding the output pipe open cannot stall the reading, and reading never goes past
// the deadline (a grandchild that escaped the group only keeps it waiting until then).
//
// A stop request, or a consumer of the output that has read enough, kills the child and its group
// at once. A child that does not end even after SIGKILL (stuck in the kernel, say on a hung network
// mount) is waited for only `killWait`; it is then reported as not ended and reaped later, so the
// caller goes on.
class ProcessRunner {
public:
    struct Limits {
        std::chrono::milliseconds deadline{8000};
        std::chrono::milliseconds terminateGrace{1000};
        std::chrono::milliseconds killWait{2000};
        std::size_t maxCapturedBytes = 16u << 20;  // per captured stream; the rest is read and dropped
    };

    // Where the child's standard output and error go: a captured pipe by default, or an open file.
    struct Options {
        Limits limits;
        int outputFile = -1;
        int errorFile = -1;
        // Kills the child when requested.
        std::stop_token stop;
        // Given each piece of standard output as it arrives, instead of capturing it; returning
        // false kills the child, which then counts as having read enough, not as a failure.
        std::function<bool(std::string_view)> onOutput;
        // The child's whole environment, "NAME=value" each; none: this process's own.
        std::optional<std::vector<std::string>> environment;
    };

    struct Result {
        bool timedOut = false;  // the deadline struck and the child was signalled
        bool stopped = false;   // killed on a stop request
        bool readEnough = false;  // killed because onOutput asked for no more
        bool ended = true;      // false: still running after SIGKILL and killWait; not reaped
        int exitStatus = 0;     // only when it exited normally
        int signal = 0;         // the signal that ended it, 0 when it exited normally
        std::string output;       // captured standard output
        std::string errorOutput;  // captured standard error

        bool exitedNormally() const { return signal == 0; }
    };

    // The child could not be started (missing program, not executable, no pidfd).
    class StartError : public std::system_error {
    public:
        StartError(int error, const std::filesystem::path& program);
    };

    // `arguments` follow the program name; each is passed as it is, bytes unchanged. Throws StartError.
    static Result run(const std::filesystem::path& program, const std::vector<std::string>& arguments);
    static Result run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const Options& options);

    // For a process about to end without waiting for its workers: kills every child still running and
    // its group, and starts no child afterwards (run() then throws StartError with ECANCELED), so no
    // tool outlives the process, whatever the thread that runs it is doing. Returns at once but for a
    // child being started, which it waits for briefly (a program on a mount that does not answer
    // holds its start for good).
    static void endAll();
};
