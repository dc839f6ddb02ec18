#include "Platform/FilesInUse.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Only what lies in a folder asked about is kept, however a process holds it: a file it only maps
// counts, a file in a folder whose name merely begins like an asked one does not, nor anything
// outside them.
TEST(FilesInUse, KeepsWhatLiesInTheFoldersAskedAbout) {
    TempTree tree;
    const fs::path mapped = tree.file("home/.cache/mapped/index.bin", 8192);
    const fs::path plain = tree.folder("home/.cache/plain");
    const fs::path lookalike = tree.file("home/.cache/plain2/open.db", 100);
    const fs::path outside = tree.file("home/Documents/open.txt", 100);
    const fs::path workedIn = tree.folder("home/.cache/work/here");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int toMap = ::open(mapped.c_str(), O_RDONLY);
        void* map = ::mmap(nullptr, 8192, PROT_READ, MAP_SHARED, toMap, 0);
        ::close(toMap);  // held through the mapping alone
        const bool holding = map != MAP_FAILED && ::open(lookalike.c_str(), O_RDONLY) >= 0 && ::open(outside.c_str(), O_RDONLY) >= 0 &&
                             ::chdir(workedIn.c_str()) == 0;
        [[maybe_unused]] const auto written = ::write(ready[1], holding ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char holding = 0;
    ASSERT_EQ(::read(ready[0], &holding, 1), 1);
    ::close(ready[0]);
    // The child alone, through a /proc of one entry; its paths are the machine's.
    SystemRoots machine = SystemRoots::fixture(tree.path());
    machine.root = "/";
    machine.proc = tree.folder("proc");
    fs::create_symlink("/proc/" + std::to_string(child), machine.proc / std::to_string(child));
    const fs::path cache = tree.path() / "home/.cache";
    const PlaceIndex held = FilesInUse::read(machine, {cache / "mapped", plain, cache / "work", tree.path() / "home/Music"});
    const PlaceIndex none = FilesInUse::read(machine, {});
    ::kill(child, SIGKILL);  // not yet waited for, so its id is still its own
    ::waitpid(child, nullptr, 0);

    ASSERT_EQ(holding, 'y');
    const std::string program = fs::read_symlink("/proc/self/exe").filename().native();
    EXPECT_EQ(held.within(cache / "mapped"), program);
    EXPECT_EQ(held.within(workedIn), program);
    EXPECT_EQ(held.within(plain), std::nullopt);
    EXPECT_EQ(held.within(cache / "plain2"), std::nullopt);
    EXPECT_EQ(held.within(tree.path() / "home"), program);  // what was kept, and no more
    EXPECT_EQ(held.within(tree.path() / "home/Documents"), std::nullopt);
    EXPECT_TRUE(none.empty());
}
