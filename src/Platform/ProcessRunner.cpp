#include "Platform/ProcessRunner.h"

#include "Foundation/FileDescriptor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// One standard stream the parent reads: the pipe's read end and what was kept of it, or the
// consumer it is handed to as it arrives.
struct CapturedStream {
    FileDescriptor readEnd;
    std::string* into = nullptr;
    std::size_t limit = 0;
    const std::function<bool(std::string_view)>* consumer = nullptr;
    bool consumerHasEnough = false;

    // One read of what is there, so an endless writer cannot keep the caller past its deadline;
    // the pipe is closed at its end or on an error.
    void readOnce() {
        std::array<char, 65536> buffer;
        ssize_t count = ::read(readEnd.get(), buffer.data(), buffer.size());
        if (count > 0) {
            if (consumer) {
                if (!consumerHasEnough && !(*consumer)(std::string_view(buffer.data(), static_cast<std::size_t>(count))))
                    consumerHasEnough = true;
                return;
            }
            std::size_t room = limit > into->size() ? limit - into->size() : 0;
            into->append(buffer.data(), std::min(room, static_cast<std::size_t>(count)));
        } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
            readEnd.reset();
        }
    }
};

// Children that did not end after SIGKILL: their pidfds are kept so that they are reaped once they
// end, by a later run, instead of staying zombies.
class AbandonedChildren {
public:
    void add(FileDescriptor pidfd) {
        std::lock_guard lock(mutex_);
        pidfds_.push_back(std::move(pidfd));
    }
    void reapEnded() {
        std::lock_guard lock(mutex_);
        std::erase_if(pidfds_, [](const FileDescriptor& pidfd) {
            siginfo_t ended{};
            return ::waitid(P_PIDFD, static_cast<id_t>(pidfd.get()), &ended, WEXITED | WNOHANG) == 0 && ended.si_pid != 0;
        });
    }

private:
    std::mutex mutex_;
    std::vector<FileDescriptor> pidfds_;
};

AbandonedChildren& abandonedChildren() {
    static AbandonedChildren children;
    return children;
}

// Signals the child through its pidfd and its group by the group id. The group id is the child's
// pid, which stays ours until the child is reaped, so the group cannot be a stranger's.
void signalChildAndGroup(int pidfd, pid_t group, int signal) {
    ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0);
    ::kill(-group, signal);
}

// The children from their start until they are reaped or abandoned, so that a process about to end
// can end them first. A child is started, and reaped, under the lock: ending them all never misses
// one just started, and never signals a group whose leader is reaped (its id may be a stranger's).
class RunningChildren {
public:
    struct Child {
        int pidfd;
        pid_t pid;
    };

    // Runs `start`, which returns the child it started, if any; false, starting nothing, once the
    // children were ended.
    template <typename Start>
    bool startListed(Start&& start) {
        std::lock_guard lock(mutex_);
        if (ended_) return false;
        if (const std::optional<Child> child = start()) children_.push_back(*child);
        return true;
    }
    // Takes the child off the list, after `reap` (which may reap it) has run.
    template <typename Reap>
    void unlist(int pidfd, Reap&& reap) {
        std::lock_guard lock(mutex_);
        reap();
        std::erase_if(children_, [pidfd](const Child& child) { return child.pidfd == pidfd; });
    }
    // Kills every child and its group; none starts afterwards. A start that holds the list for long
    // is one whose program sits on a mount that does not answer: it is not waited for.
    void endAll() {
        ended_ = true;
        std::unique_lock lock(mutex_, std::chrono::milliseconds(100));
        if (!lock) return;
        for (const Child& child : children_) signalChildAndGroup(child.pidfd, child.pid, SIGKILL);
    }

private:
    std::timed_mutex mutex_;
    std::atomic<bool> ended_ = false;
    std::vector<Child> children_;
};

// Never destroyed: the process may end while static objects are being destroyed.
RunningChildren& runningChildren() {
    static auto* const children = new RunningChildren;
    return *children;
}

// Waits up to `limit` for the pidfd to report the child's end.
bool waitForEnd(int pidfd, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    for (;;) {
        pollfd fd{pidfd, POLLIN, 0};
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        int ready = ::poll(&fd, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

struct Pipe {
    FileDescriptor readEnd, writeEnd;
};

Pipe makePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    return {FileDescriptor(fds[0]), FileDescriptor(fds[1])};
}

class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
        // Own process group, so the whole tree can be signalled; no blocked or ignored signals
        // inherited from this process (an ignored SIGPIPE or SIGTERM would survive the exec).
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        ::posix_spawnattr_setpgroup(&attributes, 0);
        ::posix_spawnattr_setsigmask(&attributes, &none);
        ::posix_spawnattr_setsigdefault(&attributes, &all);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Straight system calls: glibc 2.36's <sys/pidfd.h> declares its wrappers without C linkage.
int openPidfd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

ProcessRunner::StartError::StartError(int error, const std::filesystem::path& program)
    : std::system_error(error, std::generic_category(), "Could not start " + program.string()) {}

ProcessRunner::Result ProcessRunner::run(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    return run(program, arguments, Options{});
}

void ProcessRunner::endAll() { runningChildren().endAll(); }

ProcessRunner::Result ProcessRunner::run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                         const Options& options) {
    abandonedChildren().reapEnded();
    Result result;
    FileDescriptor input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!input.isOpen()) throw StartError(errno, program);

    std::vector<CapturedStream> captured;
    captured.reserve(2);
    SpawnSetup setup;
    ::posix_spawn_file_actions_adddup2(&setup.actions, input.get(), STDIN_FILENO);
    std::vector<FileDescriptor> childEnds;
    auto connect = [&](int file, int target, std::string* into, const std::function<bool(std::string_view)>* consumer) {
        if (file >= 0) {
            // A file held in a standard descriptor would be overwritten by an earlier redirection in
            // the child: move it above them first.
            if (file <= STDERR_FILENO) {
                FileDescriptor moved(::fcntl(file, F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
                if (!moved.isOpen()) throw StartError(errno, program);
                file = moved.get();
                childEnds.push_back(std::move(moved));
            }
            ::posix_spawn_file_actions_adddup2(&setup.actions, file, target);
            return;
        }
        Pipe pipe = makePipe();
        ::posix_spawn_file_actions_adddup2(&setup.actions, pipe.writeEnd.get(), target);
        childEnds.push_back(std::move(pipe.writeEnd));
        captured.push_back({std::move(pipe.readEnd), into, options.limits.maxCapturedBytes, consumer});
    };
    connect(options.outputFile, STDOUT_FILENO, &result.output, options.onOutput ? &options.onOutput : nullptr);
    connect(options.errorFile, STDERR_FILENO, &result.errorOutput, nullptr);
    ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);

    std::vector<char*> argv;
    std::string programText = program.string();
    argv.push_back(programText.data());
    std::vector<std::string> argumentCopies = arguments;
    for (std::string& argument : argumentCopies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::vector<std::string> environmentCopies;
    std::vector<char*> envp;
    if (options.environment) {
        environmentCopies = *options.environment;
        for (std::string& entry : environmentCopies) envp.push_back(entry.data());
        envp.push_back(nullptr);
    }

    pid_t pid = -1;
    FileDescriptor pidfd;
    int startError = 0;
    const bool startable = runningChildren().startListed([&]() -> std::optional<RunningChildren::Child> {
        startError =
            ::posix_spawn(&pid, programText.c_str(), &setup.actions, &setup.attributes, argv.data(), options.environment ? envp.data() : environ);
        if (startError != 0) return std::nullopt;
        pidfd.reset(openPidfd(pid));
        if (pidfd.isOpen()) return RunningChildren::Child{pidfd.get(), pid};
        // Not reaped yet, so the pid is still this child's.
        startError = errno;
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return std::nullopt;
    });
    const Clock::time_point started = Clock::now();
    childEnds.clear();
    input.reset();
    if (!startable) throw StartError(ECANCELED, program);
    if (startError != 0) throw StartError(startError, program);

    // However this call ends, the child leaves the list: an exception on the way (from the consumer of
    // its output, say) kills it and leaves it to be reaped later.
    struct Listing {
        FileDescriptor& pidfd;
        pid_t pid;
        ~Listing() {
            if (!pidfd.isOpen()) return;  // reaped or abandoned already
            signalChildAndGroup(pidfd.get(), pid, SIGKILL);
            runningChildren().unlist(pidfd.get(), [] {});
            abandonedChildren().add(std::move(pidfd));
        }
    } listing{pidfd, pid};

    // A stop request wakes the wait below through this counter.
    FileDescriptor stopEvent(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    std::stop_callback onStop(options.stop, [&stopEvent] {
        if (stopEvent.isOpen()) ::eventfd_write(stopEvent.get(), 1);
    });

    Clock::time_point phaseEnd = started + options.limits.deadline;
    enum class Phase { running, terminating, killed } phase = Phase::running;
    bool exited = false;
    bool pollFailed = false;
    auto openStreams = [&] {
        for (const CapturedStream& stream : captured)
            if (stream.readEnd.isOpen()) return true;
        return false;
    };
    auto killNow = [&] {
        signalChildAndGroup(pidfd.get(), pid, SIGKILL);
        phase = Phase::killed;
        phaseEnd = Clock::now() + options.limits.killWait;
    };

    // Wait for the child and read its pipes until both ended, or until the deadline for reading.
    while (!exited || (phase == Phase::running && openStreams())) {
        std::vector<pollfd> fds;
        if (!exited) fds.push_back({pidfd.get(), POLLIN, 0});
        for (const CapturedStream& stream : captured)
            if (stream.readEnd.isOpen()) fds.push_back({stream.readEnd.get(), POLLIN, 0});
        if (phase != Phase::killed && stopEvent.isOpen()) fds.push_back({stopEvent.get(), POLLIN, 0});

        auto left = std::chrono::ceil<std::chrono::milliseconds>(phaseEnd - Clock::now()).count();
        int timeout = static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
        int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            pollFailed = true;
            break;
        }

        for (CapturedStream& stream : captured)
            if (stream.readEnd.isOpen()) stream.readOnce();

        if (exited && options.stop.stop_requested()) {
            result.stopped = true;
            break;
        }
        if (phase != Phase::killed && !exited) {
            if (options.stop.stop_requested()) {
                result.stopped = true;
                killNow();
            } else if (std::any_of(captured.begin(), captured.end(), [](const CapturedStream& stream) { return stream.consumerHasEnough; })) {
                result.readEnough = true;
                killNow();
            }
        }

        if (!exited && ready > 0 && (fds.front().revents & POLLIN)) {
            exited = true;
            // Leftovers in its group would hold the pipes open; the child's unreaped pid still names the group.
            ::kill(-pid, SIGKILL);
            continue;
        }
        if (Clock::now() < phaseEnd) continue;
        if (exited || phase == Phase::killed) break;  // reading is bounded by the deadline, killing by killWait
        if (phase == Phase::running) {
            result.timedOut = true;
            signalChildAndGroup(pidfd.get(), pid, SIGTERM);
            phase = Phase::terminating;
            phaseEnd = Clock::now() + options.limits.terminateGrace;
        } else {
            killNow();
        }
    }
    if (!exited && pollFailed) {
        signalChildAndGroup(pidfd.get(), pid, SIGKILL);
        exited = waitForEnd(pidfd.get(), options.limits.killWait);
    }
    if (!exited) {
        // Still running after SIGKILL: the caller goes on, and a later run reaps it (see Listing).
        result.ended = false;
        result.signal = SIGKILL;
        return result;
    }

    siginfo_t info{};
    runningChildren().unlist(pidfd.get(), [&] {
        while (::waitid(P_PIDFD, static_cast<id_t>(pidfd.get()), &info, WEXITED) != 0 && errno == EINTR) {
        }
    });
    pidfd.reset();
    if (info.si_code == CLD_EXITED)
        result.exitStatus = info.si_status;
    else
        result.signal = info.si_status;
    return result;
}
