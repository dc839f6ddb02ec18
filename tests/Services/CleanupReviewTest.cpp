#include "Platform/SystemRoots.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FakeTool.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/HoldingChild.h"
#include "Support/InstalledFiles.h"
#include "Support/TempTree.h"

#include <sys/mount.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ForkedChild::check;

namespace {

// The row of a path, or none.
const CleanupCandidate* row(const std::vector<CleanupCandidate>& list, const fs::path& path) {
    for (const auto& candidate : list)
        if (candidate.path == path) return &candidate;
    return nullptr;
}

// Whether the row is listed for review, for that reason.
::testing::AssertionResult reviewed(const std::vector<CleanupCandidate>& list, const fs::path& path, CleanupReason reason, const QString& detail = {}) {
    const CleanupCandidate* found = row(list, path);
    if (!found) return ::testing::AssertionFailure() << path << " not listed";
    if (found->safety != CleanupSafety::review || found->reason != reason || (!detail.isEmpty() && found->reasonDetail != detail))
        return ::testing::AssertionFailure() << path << " safety " << int(found->safety) << " reason " << int(found->reason) << " detail "
                                             << found->reasonDetail.toStdString();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ticked(const std::vector<CleanupCandidate>& list, const fs::path& path) {
    const CleanupCandidate* found = row(list, path);
    if (!found) return ::testing::AssertionFailure() << path << " not listed";
    if (found->safety != CleanupSafety::safe || found->reason != CleanupReason::none)
        return ::testing::AssertionFailure() << path << " reason " << int(found->reason) << " " << found->reasonDetail.toStdString();
    return ::testing::AssertionSuccess();
}

}  // namespace

// What programs run, what is a whole and what the desktop keeps is listed, never ticked; plain
// caches and real installers stay as they were.
TEST(CleanupReview, WholesProgramsRunAndTheDesktopsOwnAreReviewed) {
    using namespace InstalledFiles;
    TempTree tree;
    FixtureRoots roots{tree.path()};
    const fs::path cache = tree.path() / "home/.cache";
    // Poetry's environment, whose python is a link out of it, run by a script in ~/.local/bin.
    tree.write("home/.cache/pypoetry/virtualenvs/proj-Ab12-py3.11/pyvenv.cfg", "home = /usr/bin\n");
    tree.file("home/.cache/pypoetry/virtualenvs/proj-Ab12-py3.11/lib/python3.11/site-packages/req/__init__.py", 9000);
    executable(tree.file("usr/bin/python3.11", 4000));
    tree.folder("home/.cache/pypoetry/virtualenvs/proj-Ab12-py3.11/bin");
    fs::create_symlink(tree.path() / "usr/bin/python3.11", cache / "pypoetry/virtualenvs/proj-Ab12-py3.11/bin/python");
    executable(tree.write("home/.local/bin/proj", "#!/home/.cache/pypoetry/virtualenvs/proj-Ab12-py3.11/bin/python\nimport req\n"));
    // An environment nothing runs; a program an entry runs; a repository.
    tree.file("home/.cache/envonly/venv/conda-meta/history", 5000);
    executable(tree.file("home/.cache/toolbox/bin/tool", 7000));
    tree.write("home/.local/share/applications/toolbox.desktop", "[Desktop Entry]\nType=Application\nName=Toolbox\nExec=/home/.cache/toolbox/bin/tool %U\n");
    tree.file("home/.cache/yay/pkg/.git/objects/ab/cdef", 6000);
    // The desktop's own, what its program does not rebuild, and plain caches.
    tree.file("home/.cache/tracker3/files/meta.db", 8000);
    tree.write("home/.cache/huggingface/token", "hf_secret\n");
    tree.file("home/.cache/mozilla/firefox/x.default/cache2/entries/AB", 30000);
    tree.file("home/.cache/pip/http/a/b", 12000);
    tree.write("home/.cache/go-build/CACHEDIR.TAG", "Signature: 8a477f597d28d172789f06886806bc55\n");
    tree.file("home/.cache/go-build/00/abc-d", 9000);
    // Installers: an AppImage an entry runs is installed where it lies.
    const fs::path tool = appImage(tree, "home/Downloads/Tool-1.0-x86_64.AppImage", 20000);
    tree.write("home/.local/share/applications/tool.desktop", "[Desktop Entry]\nType=Application\nName=Tool\nExec=/home/Downloads/Tool-1.0-x86_64.AppImage\n");
    const fs::path loose = appImage(tree, "home/Downloads/Other-2.0.AppImage", 20000);
    const fs::path deb = tree.file("home/Downloads/code_1.9_amd64.deb", 20000);
    const fs::path flatpakref = tree.file("home/Downloads/org.gimp.GIMP.flatpakref", 4000);

    // A tool a shell alias runs, a script the crontab runs.
    executable(tree.file("home/.cache/aliased/bin/tidy", 7000));
    tree.write("home/.bashrc", "alias tidy='~/.cache/aliased/bin/tidy --all'\n");
    executable(tree.file("home/.cache/cronjob/run.sh", 3000));
    writeFakeTool(tree.path() / "usr/bin/crontab", "echo '@daily ~/.cache/cronjob/run.sh'");

    const auto list = FileIntelligenceService().cleanupCandidates();
    EXPECT_TRUE(reviewed(list, cache / "aliased", CleanupReason::runsProgram, QStringLiteral(".bashrc")));
    EXPECT_TRUE(reviewed(list, cache / "cronjob", CleanupReason::runsProgram, QStringLiteral("crontab")));
    EXPECT_TRUE(reviewed(list, cache / "pypoetry", CleanupReason::runsProgram, QStringLiteral("proj")));
    EXPECT_TRUE(reviewed(list, cache / "envonly", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.environment")));
    EXPECT_TRUE(reviewed(list, cache / "toolbox", CleanupReason::runsProgram, QStringLiteral("toolbox.desktop")));
    EXPECT_TRUE(reviewed(list, cache / "yay", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.repository")));
    EXPECT_TRUE(reviewed(list, cache / "tracker3", CleanupReason::desktopOwn));
    EXPECT_TRUE(reviewed(list, cache / "huggingface", CleanupReason::notRebuilt));
    EXPECT_TRUE(ticked(list, cache / "mozilla"));
    EXPECT_TRUE(ticked(list, cache / "pip"));
    EXPECT_TRUE(ticked(list, cache / "go-build"));  // a tagged cache is rebuilt by its tool
    EXPECT_EQ(row(list, tool), nullptr);
    for (const fs::path& installer : {loose, deb, flatpakref}) {
        ASSERT_NE(row(list, installer), nullptr) << installer;
        EXPECT_EQ(row(list, installer)->kind, "installer");
        EXPECT_EQ(row(list, installer)->reason, CleanupReason::none);
    }
}

// A cache that a running process holds open, maps or works in is in use: the row names the program;
// also when the cache folder is a link to where the files lie, as the process names them.
TEST(CleanupReview, WhatARunningProcessHoldsIsInUse) {
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "cache folder linked" : "cache folder");
        TempTree tree;
        const fs::path cache = tree.path() / "home/.cache";
        const fs::path files = linked ? tree.folder("elsewhere/cache") : cache;
        if (linked) {
            tree.folder("home");
            fs::create_symlink(files, cache);
        }
        tree.file("home/.cache/idle/data", 9000);
        // A child of the test holds a file open, maps another and works in a third folder.
        const HoldingChild child({.open = {tree.file("home/.cache/evolution/mail/folders.db", 9000)},
                                  .mapped = {tree.file("home/.cache/mapped/index.bin", 8192)},
                                  .workingFolder = tree.file("home/.cache/rclone/vfs/upload.part", 9000).parent_path()},
                                 tree.path() / "proc");
        SystemRoots::install(child.roots(tree.path()));
        const auto list = FileIntelligenceService().cleanupCandidates();
        SystemRoots::install(SystemRoots::machine());

        ASSERT_TRUE(child.isHolding());
        const QString program = QString::fromStdString(fs::read_symlink("/proc/self/exe").filename().native());
        EXPECT_TRUE(reviewed(list, cache / "evolution", CleanupReason::inUse, program));
        EXPECT_TRUE(reviewed(list, cache / "mapped", CleanupReason::inUse, program));
        EXPECT_TRUE(reviewed(list, cache / "rclone", CleanupReason::inUse, program));
        EXPECT_TRUE(ticked(list, cache / "idle"));
    }
}

// A cache that is a mount point or holds one is never ticked, its size stops at the mount, and the
// move refuses it, also when the mount came after the listing.
TEST(CleanupReview, MountsAreNeverTickedMeasuredOrMoved) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    const fs::path holder = tree.file("home/.cache/toolx/own.bin", 4096).parent_path();
    const fs::path drive = tree.folder("home/.cache/drive");
    const fs::path later = tree.file("home/.cache/later/own.bin", 4096).parent_path();
    tree.folder("home/.cache/toolx/remote");
    tree.folder("home/.cache/later/remote");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        SystemRoots machine = SystemRoots::fixture(tree.path());
        machine.root = "/";
        machine.proc = "/proc";
        SystemRoots::install(machine);
        auto mountOn = [](const fs::path& folder) { return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=4m") == 0; };
        if (!mountOn(holder / "remote") || !mountOn(drive)) return std::string(ForkedChild::mountFailed);
        tree.file("home/.cache/toolx/remote/upload.bin", 1 << 20);
        tree.file("home/.cache/drive/data.bin", 1 << 20);
        std::string found;
        FileIntelligenceService service;
        const auto list = service.cleanupCandidates();
        check(found, reviewed(list, holder, CleanupReason::mount), "the folder holding a mount ticked");
        check(found, reviewed(list, drive, CleanupReason::mount), "a mount point ticked");
        const CleanupCandidate* toolx = row(list, holder);
        check(found, toolx && toolx->size < (1 << 20), "the mounted file measured");
        check(found, ticked(list, later), "a plain cache not ticked");
        if (!mountOn(later / "remote")) return std::string(ForkedChild::mountFailed);
        std::vector<TrashRequest> all;
        for (const CleanupCandidate& candidate : list) all.emplace_back(candidate.path, candidate.identity);
        const TrashResult moved = service.moveToTrash(all);
        check(found, moved.moved == 0, "moved: " + std::to_string(moved.moved));
        check(found, moved.failed.size() == 3 && std::all_of(moved.failed.begin(), moved.failed.end(), [](const TrashError& each) {
                         return each.reason() == TrashError::Reason::mounted;
                     }),
              "refused: " + std::to_string(moved.failed.size()));
        check(found, fs::exists(holder / "remote/upload.bin") && fs::exists(drive / "data.bin") && fs::exists(later / "own.bin"), "a mount moved");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}
