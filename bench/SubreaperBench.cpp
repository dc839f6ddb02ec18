// quarnell-bench subreaper SECONDS PROGRAM [ARGUMENT...]: runs PROGRAM as a child-subreaper would run
// a session, the way `systemd --user` does: every orphan below it is handed to it and reaped by it. It
// ends once it has no child left and SECONDS have passed since it started, so that a pass can still
// read its count after the last orphan was reaped.
#include "BenchCommand.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

int runSubreaper(const std::vector<std::string>& arguments) {
    double seconds = -1;
    try {
        if (arguments.size() >= 2) seconds = std::stod(arguments[0]);
    } catch (const std::exception&) {
        seconds = -1;
    }
    if (arguments.size() < 2 || !(seconds >= 0)) {
        std::fprintf(stderr, "usage: quarnell-bench subreaper SECONDS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        std::perror("PR_SET_CHILD_SUBREAPER");
        return 1;
    }
    const pid_t child = ::fork();
    if (child < 0) return 1;
    if (child == 0) {
        std::vector<char*> argv;
        for (size_t index = 1; index < arguments.size(); ++index) argv.push_back(const_cast<char*>(arguments[index].c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        std::perror(argv[0]);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(-1, &status, 0) > 0 || errno == EINTR) {}
    std::this_thread::sleep_until(end);
    std::printf("{\"command\":\"subreaper\",\"seconds\":%.3f}\n", seconds);
    return 0;
}

const bool subreaperRegistered = registerBenchCommand("subreaper", runSubreaper);

}  // namespace
