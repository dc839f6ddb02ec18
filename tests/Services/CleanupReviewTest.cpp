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
const CleanupCandidate* candidateRow(const std::vector<CleanupCandidate>& list, const fs::path& path) {
    for (const auto& candidate : list)
        if (candidate.path == path) return &candidate;
    return nullptr;
}

// Whether the row is listed for review, for that reason.
::testing::AssertionResult reviewed(const std::vector<CleanupCandidate>& list, const fs::path& path, CleanupReason reason, const QString& detail = {}) {
    const CleanupCandidate* found = candidateRow(list, path);
    if (!found) return ::testing::AssertionFailure() << path << " not listed";
    if (found->safety != CleanupSafety::review || found->reason != reason || (!detail.isEmpty() && found->reasonDetail != detail))
        return ::testing::AssertionFailure() << path << " safety " << int(found->safety) << " reason " << int(found->reason) << " detail "
                                             << found->reasonDetail.toStdString();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ticked(const std::vector<CleanupCandidate>& list, const fs::path& path) {
    const CleanupCandidate* found = candidateRow(list, path);
    if (!found) return ::testing::AssertionFailure() << path << " not listed";
    if (found->safety != CleanupSafety::safe || found->reason != CleanupReason::none)
        return ::testing::AssertionFailure() << path << " reason " << int(found->reason) << " " << found->reasonDetail.toStdString();
    return ::testing::AssertionSuccess();
}

// Files as the editors write them. A Vim or Neovim swap file: its first block ("b0", the version,
// the page size, the user, the host and the file edited), then the blocks of the text.
std::string vimSwap(const std::string& version, const std::string& edited, const std::string& text) {
    std::string first(4096, '\0');
    first.replace(0, 2, "b0");
    first.replace(2, version.size(), version);
    first[13] = 0x10;  // 4096 bytes a page
    first.replace(28, 3, "ana");
    first.replace(68, 6, "laptop");
    first.replace(108, edited.size(), edited);
    std::string data(4096, '\0');
    data.replace(data.size() - text.size() - 1, text.size(), text);
    return first + std::string(4096, '\0') + data;
}

// A persistent undo file: its start, its version, the hash of the text it belongs to, then entries.
std::string vimUndo(const std::string& text) {
    return std::string("Vim\x9fUnDo\xe5\x00\x02", 11) + std::string(32, '\x5a') + std::string("\x00\x00\x00\x01", 4) + text;
}

}  // namespace

// An editor's unsaved work or history in a cache is never ticked, wherever in it the files lie and
// whatever the folder is called: the row names the file, unsaved work before history. Moving every
// safe candidate leaves each of them in place; what merely looks like one, and the thumbnails and
// pip's wheels beside them, stay safe.
TEST(CleanupReview, AnEditorsUnsavedWorkAndHistoryAreNeverTicked) {
    TempTree tree;
    FixtureRoots roots{tree.path()};
    const fs::path cache = tree.path() / "home/.cache";
    std::vector<fs::path> kept{
        // Vim with `directory=~/.cache/vim/swap//` and `undodir=~/.cache/vim/undo//`.
        tree.write("home/.cache/vim/swap/%home%ana%notes.txt.swp", vimSwap("VIM 9.0", "~ana/notes.txt", "typed since the last save\n")),
        tree.write("home/.cache/vim/undo/%home%ana%notes.txt", vimUndo("the first draft\n")),
        // Neovim (its swap files say "VIM 8.0"): only its undo history is left; a second swap is ".swo".
        tree.write("home/.cache/nvim/undo/%home%ana%plan.md", vimUndo("# Plan\n")),
        tree.write("home/.cache/nvim2/swap/%home%ana%todo.txt.swo", vimSwap("VIM 8.0", "~ana/todo.txt", "- call the bank\n")),
        // The 24th swap file of one text, once ".swp" to ".swa" are taken; the 23rd; a swap file of
        // one smallest block; an undo file cut short after its start.
        tree.write("home/.cache/vim-many/%home%ana%todo.txt.svz", vimSwap("VIM 9.0", "~ana/todo.txt", "- and the school\n")),
        tree.write("home/.cache/vim-swa/%home%ana%todo.txt.swa", vimSwap("VIM 9.0", "~ana/todo.txt", "- and the car\n")),
        tree.write("home/.cache/vim-small/%home%ana%a.txt.swp", vimSwap("VIM 9.0", "~ana/a.txt", "").substr(0, 1024)),
        tree.write("home/.cache/vim-cut/%home%ana%a.txt", vimUndo("").substr(0, 9)),
        // Emacs with `auto-save-file-name-transforms` and `backup-directory-alist` there.
        tree.write("home/.cache/emacs/auto-save/#!home!ana!draft.org#", "* Draft\nnot saved yet\n"),
        tree.write("home/.cache/emacs/backup/!home!ana!draft.org~", "* Draft\n"),
        tree.write("home/.cache/emacs-backups/!home!ana!letter.txt.~3~", "Dear Sam,\n"),
        tree.write("home/.cache/emacs-sessions/.saves-4242-laptop~", "/home/ana/draft.org\n/home/ana/.cache/emacs/auto-save/#!home!ana!draft.org#\n"),
        // Kate's swap file, deep in a cache of no editor's name; nano's emergency save and backup.
        tree.write("home/.cache/x7/a/b/c/0123abcd-report.txt.kate-swp", std::string("\x00\x00\x00\x12Kate Swap File 2.0", 22) + "R 12 0 text"),
        tree.write("home/.cache/scratch/list.txt.save.1", "milk\neggs\n"),
        tree.write("home/.cache/nano/backups/!home!ana!list.txt~.1", "milk\n"),
        // An auto-save right in the cache folder.
        tree.write("home/.cache/#!home!ana!loose.txt#", "loose\n"),
    };
    tree.file("home/.cache/thumbnails/large/0123.png", 9000);
    tree.file("home/.cache/pip/wheels/ab/cd/numpy-1.26-cp311-linux_x86_64.whl", 9000);
    // Named like Vim's files, but not what they begin with, or too short to be a swap file; begun
    // like them, but not named so.
    tree.file("home/.cache/lookalike/page.swp", 8192);
    tree.write("home/.cache/lookalike/https%3A%2F%2Fexample.org%2Fa", "<html>\n");
    tree.write("home/.cache/lookalike/blob-1", vimSwap("VIM 9.0", "~ana/notes.txt", "cached\n"));
    tree.write("home/.cache/lookalike/blob-2", vimUndo("cached\n"));
    tree.write("home/.cache/lookalike/blob-3.swq", vimSwap("VIM 9.0", "~ana/notes.txt", "cached\n"));  // past ".swp"
    tree.write("home/.cache/lookalike/entry~.", "no number after the dot\n");
    tree.write("home/.cache/lookalike/.save", "a name that is all ending\n");
    tree.write("home/.cache/short/x.swp", "b0VIM 9.0");

    FileIntelligenceService service;
    const auto list = service.cleanupCandidates();
    auto shown = [](const std::string& below) { return QString::fromStdString("~/.cache/" + below); };
    EXPECT_TRUE(reviewed(list, cache / "vim", CleanupReason::unsavedWork, shown("vim/swap/%home%ana%notes.txt.swp")));
    EXPECT_TRUE(reviewed(list, cache / "nvim", CleanupReason::editHistory, shown("nvim/undo/%home%ana%plan.md")));
    EXPECT_TRUE(reviewed(list, cache / "nvim2", CleanupReason::unsavedWork, shown("nvim2/swap/%home%ana%todo.txt.swo")));
    EXPECT_TRUE(reviewed(list, cache / "vim-many", CleanupReason::unsavedWork, shown("vim-many/%home%ana%todo.txt.svz")));
    EXPECT_TRUE(reviewed(list, cache / "vim-swa", CleanupReason::unsavedWork, shown("vim-swa/%home%ana%todo.txt.swa")));
    EXPECT_TRUE(reviewed(list, cache / "vim-small", CleanupReason::unsavedWork, shown("vim-small/%home%ana%a.txt.swp")));
    EXPECT_TRUE(reviewed(list, cache / "vim-cut", CleanupReason::editHistory, shown("vim-cut/%home%ana%a.txt")));
    EXPECT_TRUE(reviewed(list, cache / "emacs", CleanupReason::unsavedWork, shown("emacs/auto-save/#!home!ana!draft.org#")));
    EXPECT_TRUE(reviewed(list, cache / "emacs-backups", CleanupReason::editHistory, shown("emacs-backups/!home!ana!letter.txt.~3~")));
    EXPECT_TRUE(reviewed(list, cache / "emacs-sessions", CleanupReason::unsavedWork, shown("emacs-sessions/.saves-4242-laptop~")));
    EXPECT_TRUE(reviewed(list, cache / "x7", CleanupReason::unsavedWork, shown("x7/a/b/c/0123abcd-report.txt.kate-swp")));
    EXPECT_TRUE(reviewed(list, cache / "scratch", CleanupReason::unsavedWork, shown("scratch/list.txt.save.1")));
    EXPECT_TRUE(reviewed(list, cache / "nano", CleanupReason::editHistory, shown("nano/backups/!home!ana!list.txt~.1")));
    EXPECT_TRUE(reviewed(list, cache / "#!home!ana!loose.txt#", CleanupReason::unsavedWork, shown("#!home!ana!loose.txt#")));
    for (const char* name : {"thumbnails", "pip", "lookalike", "short"}) EXPECT_TRUE(ticked(list, cache / name));

    std::vector<TrashRequest> safe;
    for (const CleanupCandidate& candidate : list)
        if (candidate.safety == CleanupSafety::safe) safe.emplace_back(candidate.path, candidate.identity);
    EXPECT_EQ(service.moveToTrash(safe).moved.size(), 4u);
    for (const fs::path& file : kept) EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_FALSE(fs::exists(cache / "thumbnails"));
    EXPECT_FALSE(fs::exists(cache / "pip"));
}

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
    EXPECT_EQ(candidateRow(list, tool), nullptr);
    for (const fs::path& installer : {loose, deb, flatpakref}) {
        ASSERT_NE(candidateRow(list, installer), nullptr) << installer;
        EXPECT_EQ(candidateRow(list, installer)->kind, "installer");
        EXPECT_EQ(candidateRow(list, installer)->reason, CleanupReason::none);
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
        const CleanupCandidate* toolx = candidateRow(list, holder);
        check(found, toolx && toolx->size < (1 << 20), "the mounted file measured");
        check(found, ticked(list, later), "a plain cache not ticked");
        if (!mountOn(later / "remote")) return std::string(ForkedChild::mountFailed);
        std::vector<TrashRequest> all;
        for (const CleanupCandidate& candidate : list) all.emplace_back(candidate.path, candidate.identity);
        const TrashResult moved = service.moveToTrash(all);
        check(found, moved.moved.empty(), "moved: " + std::to_string(moved.moved.size()));
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

// A cache that a link outside it points into is reviewed, naming where the link lies: a project's
// renv library, a plain link, an environment's packages, node_modules; in the developer caches too.
// A link from inside a cache to elsewhere, or to the cache folder itself, changes nothing.
TEST(CleanupReview, LinksFromOutsideIntoACacheAreReviewed) {
    TempTree tree;
    FixtureRoots roots{tree.path()};
    const fs::path home = tree.path() / "home", cache = home / ".cache";
    auto link = [&](const std::string& from, const fs::path& to) {
        tree.folder(fs::path("home" / fs::path(from)).parent_path().string());
        fs::create_symlink(to, home / from);
    };
    const fs::path tinypkg = tree.file("home/.cache/R/renv/cache/v5/R-4.2/x86_64-pc-linux-gnu/tinypkg/1.0/abc/tinypkg/DESCRIPTION", 9000).parent_path();
    tree.write("home/rproj/renv.lock", "{}\n");
    link("rproj/renv/library/R-4.2/x86_64-pc-linux-gnu/tinypkg", tinypkg);
    link("proj/lib/pkg", tree.file("home/.cache/x/pkg/index.js", 9000).parent_path());
    // As deep as links are looked for: in a folder three levels below the home.
    link("code/proj/lib/pkg", tree.file("home/.cache/deep/pkg/index.js", 9000).parent_path());
    // Relative, through a folder of the environment's own.
    tree.file("home/.cache/uv/archive-v0/Xy12/req/__init__.py", 9000);
    link("app/.venv/lib/python3.11/site-packages/req", "../../../../../.cache/uv/archive-v0/Xy12/req");
    link("web/node_modules/@scope/pkg", tree.file("home/.cache/yarnlinks/pkg/package.json", 9000).parent_path());
    // Outward links and a link to the cache folder itself.
    tree.file("home/data/big.bin", 9000);
    tree.file("home/.cache/outward/own", 9000);
    link(".cache/outward/data", home / "data");
    tree.file("home/.cache/mozilla/firefox/cache2/AB", 9000);
    link("cachelink", cache);
    link("Desktop/mozilla-copy", cache / "mozilla");  // a user folder is read like any other

    const auto list = FileIntelligenceService().cleanupCandidates();
    EXPECT_TRUE(reviewed(list, cache / "R", CleanupReason::linked, QStringLiteral("~/rproj/renv/library")));
    EXPECT_TRUE(reviewed(list, cache / "x", CleanupReason::linked, QStringLiteral("~/proj/lib")));
    EXPECT_TRUE(reviewed(list, cache / "deep", CleanupReason::linked, QStringLiteral("~/code/proj/lib")));
    EXPECT_TRUE(reviewed(list, cache / "uv", CleanupReason::linked, QStringLiteral("~/app/.venv/lib")));
    EXPECT_TRUE(reviewed(list, cache / "yarnlinks", CleanupReason::linked, QStringLiteral("~/web/node_modules")));
    EXPECT_TRUE(ticked(list, cache / "outward"));
    EXPECT_TRUE(reviewed(list, cache / "mozilla", CleanupReason::linked, QStringLiteral("~/Desktop")));

    // A developer cache the same way.
    tree.file("home/.gradle/caches/modules-2/files-2.1/lib/a.jar", 9000);
    link("jvm/libs/a.jar", home / ".gradle/caches/modules-2/files-2.1/lib/a.jar");
    const auto developer = FileIntelligenceService().developerCandidates();
    EXPECT_TRUE(reviewed(developer, home / ".gradle/caches", CleanupReason::linked, QStringLiteral("~/jvm/libs")));
}

// A cache that holds a program the loader starts is reviewed, whoever's layout it has; programs
// that their tool rebuilds (a tagged cache), files that may not be run, libraries and objects leave
// a cache safe, as do plain package and browser caches and the thumbnails.
TEST(CleanupReview, ProgramsInACacheAreReviewedObjectsAndLibrariesAreNot) {
    using namespace InstalledFiles;
    TempTree tree;
    FixtureRoots roots{tree.path()};
    const fs::path cache = tree.path() / "home/.cache";
    executable(elfFile(tree, "home/.cache/puppeteer/chrome/linux-131.0.6778.204/chrome-linux64/chrome", Elf::program));
    tree.file("home/.cache/puppeteer/chrome/linux-131.0.6778.204/chrome-linux64/resources.pak", 9000);
    executable(elfFile(tree, "home/.cache/Cypress/13.6.0/Cypress/Cypress", Elf::program));
    executable(elfFile(tree, "home/.cache/ms-playwright/chromium-1097/chrome-linux/chrome", Elf::program));
    executable(elfFile(tree, "home/.cache/lonetool", Elf::program));  // a program right in the cache folder
    // Tagged, not runnable, libraries and objects.
    tree.write("home/.cache/ccache/CACHEDIR.TAG", "Signature: 8a477f597d28d172789f06886806bc55\n");
    executable(elfFile(tree, "home/.cache/ccache/a/b/linked-program", Elf::program));
    tree.write("home/.cache/uv/CACHEDIR.TAG", "Signature: 8a477f597d28d172789f06886806bc55\n");
    executable(elfFile(tree, "home/.cache/uv/archive-v0/Ab1/bin/ruff", Elf::program));
    elfFile(tree, "home/.cache/go-build/ab/abcdef-d", Elf::program);
    tree.write("home/.cache/go-build/README", "This directory holds cached build artifacts from the Go build system.\n");
    executable(elfFile(tree, "home/.cache/sccache/lib/libfoo.so", Elf::library));
    executable(elfFile(tree, "home/.cache/sccache/o/x.o", Elf::object));
    executable(tree.write("home/.cache/scripts/run.sh", "#!/bin/sh\necho hi\n"));
    tree.file("home/.cache/pip/http-v2/a/b", 9000);
    tree.file("home/.cache/mozilla/firefox/x.default/cache2/entries/AB", 9000);
    tree.file("home/.cache/thumbnails/large/0123.png", 9000);
    // An IDE's own history under any vendor's name, a search index with its settings; an IDE's
    // caches without its history are rebuilt.
    tree.file("home/.cache/Google/AndroidStudio2024.1/LocalHistory/changes.storageData", 9000);
    tree.file("home/.cache/JetBrains/IntelliJIdea2024.1/caches/content.dat", 9000);
    tree.file("home/.cache/mu/xapian/postlist.glass", 9000);
    tree.write("home/.cache/mu/xapian/iamglass", "glass");
    // An installer is a program too, and says it is an installer.
    const fs::path appImage = executable(elfFile(tree, "home/Downloads/Tool-2.0-x86_64.AppImage", Elf::program));

    const auto list = FileIntelligenceService().cleanupCandidates();
    ASSERT_NE(candidateRow(list, appImage), nullptr);
    EXPECT_EQ(candidateRow(list, appImage)->reason, CleanupReason::none);
    for (const char* name : {"puppeteer", "Cypress", "ms-playwright", "lonetool"}) EXPECT_TRUE(reviewed(list, cache / name, CleanupReason::holdsProgram));
    for (const char* name : {"ccache", "uv", "go-build", "sccache", "scripts", "pip", "mozilla", "thumbnails", "JetBrains"}) EXPECT_TRUE(ticked(list, cache / name));
    EXPECT_TRUE(reviewed(list, cache / "Google", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.applicationData")));
    EXPECT_TRUE(reviewed(list, cache / "mu", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.applicationData")));
}

// Where several reasons hold, the first in the order is the one given: a mount, what the user
// cannot move, a process, a program run, a link, a whole, a program, the desktop's own, what is
// not rebuilt. Every folder the not-rebuilt list names is reviewed on its own.
TEST(CleanupReview, TheFirstReasonInTheOrderIsGiven) {
    using namespace InstalledFiles;
    TempTree tree;
    FixtureRoots roots{tree.path()};
    const fs::path home = tree.path() / "home", cache = home / ".cache";
    // Run by .bashrc and a repository.
    executable(tree.file("home/.cache/runrepo/bin/tidy", 7000));
    tree.file("home/.cache/runrepo/.git/objects/ab/cd", 6000);
    tree.write("home/.bashrc", "alias tidy='~/.cache/runrepo/bin/tidy'\n");
    // Linked and a program; a repository and a program; the desktop's own and a whole; not rebuilt
    // and a program.
    executable(elfFile(tree, "home/.cache/linkprog/bin/prog", Elf::program));
    tree.folder("home/proj");
    fs::create_symlink(cache / "linkprog/bin", home / "proj/bin");
    executable(elfFile(tree, "home/.cache/repoprog/bin/prog", Elf::program));
    tree.file("home/.cache/repoprog/.git/HEAD", 100);
    tree.file("home/.cache/tracker3/.git/HEAD", 100);
    executable(elfFile(tree, "home/.cache/huggingface/bin/hf-xet", Elf::program));
    for (const char* name : {"torch", "whisper", "lm-studio", "rclone"}) tree.file("home/.cache/" + std::string(name) + "/data", 9000);

    const auto list = FileIntelligenceService().cleanupCandidates();
    EXPECT_TRUE(reviewed(list, cache / "runrepo", CleanupReason::runsProgram, QStringLiteral(".bashrc")));
    EXPECT_TRUE(reviewed(list, cache / "linkprog", CleanupReason::linked, QStringLiteral("~/proj")));
    EXPECT_TRUE(reviewed(list, cache / "repoprog", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.repository")));
    EXPECT_TRUE(reviewed(list, cache / "tracker3", CleanupReason::holdsWhole, QStringLiteral("cleanup.whole.repository")));
    EXPECT_TRUE(reviewed(list, cache / "huggingface", CleanupReason::holdsProgram));
    for (const char* name : {"torch", "whisper", "lm-studio", "rclone"}) EXPECT_TRUE(reviewed(list, cache / name, CleanupReason::notRebuilt));
}

// As a user: a cache the user cannot move (owned by another, or its top read-only) or empty (a
// folder inside it they cannot read) is reviewed, never ticked, and says how many folders it could
// not read; what the user may move stays ticked. The reason comes before a link into it.
TEST(CleanupReview, WhatTheUserCannotMoveOrReadIsReviewed) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to make folders of another user";
    TempTree tree;
    const fs::path home = tree.path() / "home", cache = home / ".cache";
    tree.file("home/.cache/plain/data", 9000);
    tree.file("home/.cache/readonly/data", 9000);
    tree.file("home/.cache/mixed/own.bin", 1 << 20);
    tree.file("home/.cache/mixed/root/secret.bin", 3 << 20);
    tree.file("home/.cache/mixed/root2/more.bin", 4096);
    tree.file("home/.cache/frozen/inner/data", 9000);
    tree.file("home/.cache/rootowned/data", 9000);
    tree.folder("home/proj");
    fs::create_symlink(cache / "rootowned/data", home / "proj/data");
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    for (const auto& entry : fs::recursive_directory_iterator(home))
        ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
    for (const fs::path& own : {cache / "mixed/root", cache / "mixed/root2", cache / "rootowned", cache / "rootowned/data"})
        ASSERT_EQ(::chown(own.c_str(), 0, 0), 0);
    fs::permissions(cache / "mixed/root", fs::perms::owner_all);
    fs::permissions(cache / "mixed/root2", fs::perms::owner_all);
    fs::permissions(cache / "readonly", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(cache / "frozen/inner", fs::perms::owner_read | fs::perms::owner_exec);

    const std::string failures = ForkedChild::runAsNobody([&] {
        SystemRoots::install(SystemRoots::fixture(tree.path()));
        const auto list = FileIntelligenceService().cleanupCandidates();
        std::string found;
        auto note = [&](::testing::AssertionResult result, const std::string& what) { check(found, bool(result), what + ": " + result.message()); };
        note(reviewed(list, cache / "readonly", CleanupReason::cannotMove, QStringLiteral("~/.cache/readonly")), "read-only top");
        note(reviewed(list, cache / "rootowned", CleanupReason::cannotMove, QStringLiteral("~/.cache/rootowned")), "another's folder");
        note(reviewed(list, cache / "frozen", CleanupReason::cannotMove, QStringLiteral("~/.cache/frozen/inner")), "read-only inside");
        note(reviewed(list, cache / "mixed", CleanupReason::cannotMove), "unreadable inside");
        note(ticked(list, cache / "plain"), "plain");
        const CleanupCandidate* mixed = candidateRow(list, cache / "mixed");
        check(found, mixed && mixed->unreadableFolders == 2 && mixed->size < (2 << 20), "mixed not said partly unreadable");
        const CleanupCandidate* plain = candidateRow(list, cache / "plain");
        check(found, plain && plain->unreadableFolders == 0, "plain said unreadable");
        return found;
    });
    EXPECT_EQ(failures, "");
}

// As a user, in a cache folder with the sticky bit that everyone may write to (as /tmp): a cache of
// another user's is not theirs to move, though they may write to both it and its folder; their own
// beside it stays ticked. The move refuses the other's and leaves it in place. A swap file they
// cannot read counts as one.
TEST(CleanupReview, AnotherUsersCacheInAStickyFolderCannotBeMoved) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to make folders of another user";
    TempTree tree;
    const fs::path home = tree.path() / "home", cache = home / ".cache";
    const fs::path others = tree.file("home/.cache/shared-tool/data", 9000).parent_path();
    tree.file("home/.cache/mine/data", 9000);
    // A swap file the user cannot read, in a cache of their own: in doubt, what its name says.
    const fs::path unread = tree.file("home/.cache/unread/%home%ana%x.txt.swp", 4096);
    fs::permissions(unread, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
    for (const fs::path& own : {cache / "mine", cache / "mine/data", cache / "unread"}) ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
    fs::permissions(cache, fs::perms::all | fs::perms::sticky_bit);  // root's, 1777
    fs::permissions(others, fs::perms::all);                          // root's, writable by all
    fs::permissions(others / "data", fs::perms::all);

    const std::string failures = ForkedChild::runAsNobody([&] {
        SystemRoots::install(SystemRoots::fixture(tree.path()));
        FileIntelligenceService service;
        const auto list = service.cleanupCandidates();
        std::string found;
        auto note = [&](::testing::AssertionResult result, const std::string& what) { check(found, bool(result), what + ": " + result.message()); };
        note(reviewed(list, others, CleanupReason::cannotMove, QStringLiteral("~/.cache")), "another's cache in a sticky folder");
        note(ticked(list, cache / "mine"), "one's own");
        note(reviewed(list, cache / "unread", CleanupReason::unsavedWork, QStringLiteral("~/.cache/unread/%home%ana%x.txt.swp")), "an unreadable swap file");
        const TrashResult moved = service.moveToTrash({TrashRequest(others, FileIdentity::at(others))});
        check(found, moved.moved.empty() && moved.failed.size() == 1, "another's cache moved");
        check(found, fs::exists(others / "data"), "another's cache gone");
        return found;
    });
    EXPECT_EQ(failures, "");
}

// The cache folder reached through a link, with a mount below a cache that a link also points
// into: the mount is the reason, found where the files lie, and the mounted files are not measured.
TEST(CleanupReview, AMountBelowALinkedCacheFolderIsTheReason) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    TempTree tree;
    const fs::path cache = tree.path() / "home/.cache";
    const fs::path files = tree.folder("elsewhere/cache");
    tree.folder("home/proj");
    fs::create_symlink(files, cache);
    const fs::path holder = tree.file("elsewhere/cache/toolx/own.bin", 4096).parent_path();
    tree.folder("elsewhere/cache/toolx/remote");
    fs::create_symlink(cache / "toolx/remote", tree.path() / "home/proj/remote");
    tree.file("elsewhere/cache/plain/own.bin", 4096);
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        SystemRoots machine = SystemRoots::fixture(tree.path());
        machine.root = "/";
        machine.proc = "/proc";
        SystemRoots::install(machine);
        if (::mount("tmpfs", (holder / "remote").c_str(), "tmpfs", 0, "size=4m") != 0) return std::string(ForkedChild::mountFailed);
        tree.file("elsewhere/cache/toolx/remote/upload.bin", 1 << 20);
        std::string found;
        const auto list = FileIntelligenceService().cleanupCandidates();
        check(found, reviewed(list, cache / "toolx", CleanupReason::mount), "the linked cache holding a mount not said a mount");
        const CleanupCandidate* toolx = candidateRow(list, cache / "toolx");
        check(found, toolx && toolx->size < (1 << 20), "the mounted file measured");
        check(found, ticked(list, cache / "plain"), "a plain cache not ticked");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}
