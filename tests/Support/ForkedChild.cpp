#include "Support/ForkedChild.h"

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace ForkedChild {
namespace {

std::string run(const std::function<bool()>& setup, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "pipe failed";
    pid_t child = ::fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string output;
        try {
            output = setup() ? body() : std::string("setup failed");
        } catch (const std::exception& error) {
            output = std::string("exception: ") + error.what();
        }
        for (size_t written = 0; written < output.size();) {
            ssize_t n = ::write(pipeEnds[1], output.data() + written, output.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output;
}

}  // namespace

bool isRoot() { return ::geteuid() == 0; }

std::string runApart(const std::function<std::string()>& body) {
    return run([] { return true; }, body);
}

std::string runAsNobody(const std::function<std::string()>& body) {
    return run([] { return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0; }, body);
}

std::string runInMountNamespace(const std::function<std::string()>& body) {
    return run([] { return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0; }, body);
}

bool cannotMount(const std::string& result) { return result == mountFailed || result == "setup failed"; }

std::string runWithOpenFileLimit(unsigned long soft, const std::function<std::string()>& body, unsigned long hard) {
    return run(
        [&] {
            rlimit limit {};
            if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
            limit.rlim_cur = soft;
            if (hard != 0) limit.rlim_max = hard;
            return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
        },
        body);
}

std::string runWithEnvironment(const std::vector<std::pair<std::string, std::string>>& variables, const std::function<std::string()>& body) {
    return run(
        [&] {
            return std::all_of(variables.begin(), variables.end(), [](const auto& variable) {
                return ::setenv(variable.first.c_str(), variable.second.c_str(), 1) == 0;
            });
        },
        body);
}

std::string runInRoot(const std::filesystem::path& newRoot, const std::function<std::string()>& body) {
    return run([&] { return ::chroot(newRoot.c_str()) == 0 && ::chdir("/") == 0; }, body);
}

}  // namespace ForkedChild
