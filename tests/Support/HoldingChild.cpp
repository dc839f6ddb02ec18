#include "Support/HoldingChild.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

HoldingChild::HoldingChild(const Holds& holds, const fs::path& proc) : proc_(proc) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    child_ = ::fork();
    if (child_ == 0) {
        // Gone with the test, should the test end before it drops the child.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        bool holding = holds.workingFolder.empty() || ::chdir(holds.workingFolder.c_str()) == 0;
        for (const fs::path& file : holds.open) holding = holding && ::open(file.c_str(), O_RDWR) >= 0;
        for (const fs::path& file : holds.mapped) {
            const int toMap = ::open(file.c_str(), O_RDONLY);
            struct stat status {};
            holding = holding && toMap >= 0 && ::fstat(toMap, &status) == 0 && status.st_size > 0 &&
                      ::mmap(nullptr, std::size_t(status.st_size), PROT_READ, MAP_SHARED, toMap, 0) != MAP_FAILED;
            ::close(toMap);
        }
        [[maybe_unused]] const auto written = ::write(ready[1], holding ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char answer = 0;
    holding_ = child_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    if (child_ > 0) {
        fs::create_directories(proc_);
        fs::create_symlink("/proc/" + std::to_string(child_), proc_ / std::to_string(child_));
    }
}

HoldingChild::~HoldingChild() {
    if (child_ <= 0) return;
    ::kill(child_, SIGKILL);  // not yet waited for, so its id is still its own
    ::waitpid(child_, nullptr, 0);
}

SystemRoots HoldingChild::roots(const fs::path& tree) const {
    SystemRoots machine = SystemRoots::fixture(tree);
    machine.root = "/";
    machine.proc = proc_;
    return machine;
}
