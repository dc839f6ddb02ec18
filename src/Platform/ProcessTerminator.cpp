#include "Platform/ProcessTerminator.h"

#include "Platform/ProcessTable.h"
#include "Platform/ProgramPath.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class PidDescriptor {
public:
    explicit PidDescriptor(pid_t pid) : fd_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))), error_(fd_ < 0 ? errno : 0) {}
    ~PidDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    PidDescriptor(const PidDescriptor&) = delete;
    PidDescriptor& operator=(const PidDescriptor&) = delete;

    bool exited() const { return fd_ < 0 && error_ == ESRCH; }
    // A process that has ended but that its parent has not reaped yet (a zombie) still holds its id
    // and takes signals, yet its descriptor already reads as ended.
    bool ended() const {
        pollfd ready{fd_, POLLIN, 0};
        return fd_ >= 0 && ::poll(&ready, 1, 0) == 1 && (ready.revents & POLLIN);
    }
    // Without pidfd support (kernels before 5.3) the check below still stands, with a tiny window.
    int send(pid_t pid, int signal) const {
        if (fd_ >= 0) return static_cast<int>(::syscall(SYS_pidfd_send_signal, fd_, signal, nullptr, 0));
        return ::kill(pid, signal);
    }

private:
    int fd_;
    int error_;
};

}  // namespace

TerminationResult ProcessTerminator::terminate(const ProcessIdentity& process) {
    if (process.pid <= 1 || process.pid == ::getpid()) return TerminationResult::refused;
    PidDescriptor descriptor(process.pid);
    if (descriptor.exited()) return TerminationResult::gone;

    ProcessTable machine{SystemRoots{}};
    auto current = machine.read(process.pid);
    if (!current) {
        // Unreadable: ended meanwhile, or not ours to inspect.
        if (descriptor.ended()) return TerminationResult::gone;
        return descriptor.send(process.pid, 0) != 0 && errno == ESRCH ? TerminationResult::gone : TerminationResult::failed;
    }
    // A program upgraded on disk since it was seen is still the same process.
    if (current->startTicks != process.startTicks ||
        ProgramPath::withoutDeletedMark(current->executablePath) != ProgramPath::withoutDeletedMark(process.executablePath))
        return TerminationResult::gone;
    if (descriptor.send(process.pid, SIGTERM) == 0) return TerminationResult::signalled;
    return errno == ESRCH ? TerminationResult::gone : TerminationResult::failed;
}
