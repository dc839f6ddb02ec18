#include "Platform/ProcessRunner.h"
#include "Support/DuplicateSearches.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* cacheTagSignature = "Signature: 8a477f597d28d172789f06886806bc55\n";

// Runs a tool of this machine; its standard error when it failed, else nothing.
std::string runFailed(const fs::path& program, const std::vector<std::string>& arguments) {
    const ProcessRunner::Result result = ProcessRunner::run(program, arguments);
    if (result.exitedNormally() && result.exitStatus == 0) return {};
    return program.string() + ": " + result.errorOutput;
}

const fs::path git = "/usr/bin/git";
const fs::path python = "/usr/bin/python3";

// Git in `folder`, as a user without a configuration of their own runs it.
std::vector<std::string> gitArguments(std::vector<std::string> arguments, const fs::path& folder = {}) {
    if (!folder.empty()) arguments.insert(arguments.begin(), {"-C", folder.string()});
    arguments.insert(arguments.begin(), {"-c", "user.name=t", "-c", "user.email=t@example.org", "-c", "init.defaultBranch=main",
                                         "-c", "protocol.file.allow=always"});
    return arguments;
}

// A repository at `folder` with `files` committed, as `git init` and `git commit` make it.
void gitRepository(const fs::path& folder, const std::vector<std::pair<std::string, std::string>>& files) {
    fs::create_directories(folder);
    ASSERT_EQ(runFailed(git, gitArguments({"init", "-q"}, folder)), "");
    for (const auto& [name, bytes] : files) {
        fs::create_directories((folder / name).parent_path());
        FILE* out = std::fopen((folder / name).c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    ASSERT_EQ(runFailed(git, gitArguments({"add", "-A"}, folder)), "");
    ASSERT_EQ(runFailed(git, gitArguments({"commit", "-q", "-m", "first"}, folder)), "");
}

using namespace DuplicateSearches;

// A copy of `bytes` at `inWhole`, older, and a loose one in Downloads, newer: without the rule the
// copy in the whole is ticked.
void copies(const TempTree& tree, const fs::path& inWhole, const std::string& bytes) {
    fs::create_directories(inWhole.parent_path());
    TempTree::setModified(tree.write(fs::relative(inWhole, tree.path()).string(), bytes), 1'500'000'000);
    TempTree::setModified(tree.write("home/Downloads/" + inWhole.filename().string(), bytes), 1'600'000'000);
}

}  // namespace

// A row per kind of whole, on the tools' own layouts (made by git and venv where they are here):
// a group that reaches into one ticks nothing, its copy in the whole says which, and whether hidden
// files are searched changes nothing of it.
TEST(DuplicateWholes, AGroupThatReachesIntoAWholeTicksNothingAndSaysWhich) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.folder("home");
    struct Row {
        std::string kind;
        fs::path inWhole;
        UntickedReason reason;
    };
    std::vector<Row> rows;
    unsigned seed = 100;
    auto add = [&](std::string kind, const fs::path& inWhole, UntickedReason reason) {
        copies(tree, inWhole, TempTree::randomBytes(3000, ++seed));
        rows.push_back({std::move(kind), inWhole, reason});
    };

    if (fs::exists(git)) {
        gitRepository(home / "code/origin", {{"lib.c", TempTree::randomBytes(2000, 1)}});
        ASSERT_EQ(runFailed(git, gitArguments({"clone", "-q", (home / "code/origin").string(), (home / "code/clone").string()})), "");
        add("git clone", home / "code/clone/src/only-here.c", UntickedReason::repository);
        ASSERT_EQ(runFailed(git, gitArguments({"worktree", "add", "-q", "-b", "side", (home / "code/tree").string()}, home / "code/origin")), "");
        add("git worktree", home / "code/tree/docs/only-here.md", UntickedReason::repository);
        ASSERT_TRUE(fs::is_regular_file(home / "code/tree/.git"));
    } else {
        std::cout << "git is not installed: its rows are skipped\n";
    }
    if (fs::exists(python)) {
        ASSERT_EQ(runFailed(python, {"-m", "venv", "--without-pip", (home / "code/tool/venv").string()}), "");
        add("python3 -m venv", home / "code/tool/venv/share/data.bin", UntickedReason::environment);
    } else {
        std::cout << "python3 is not installed: its row is skipped\n";
    }
    tree.folder("home/code/hg/.hg/store");
    add("Mercurial", home / "code/hg/src/main.py", UntickedReason::repository);
    tree.write("home/miniconda3/envs/data/conda-meta/history", "");
    add("conda", home / "miniconda3/envs/data/lib/libz.so", UntickedReason::environment);
    add("node_modules", home / "code/web/node_modules/lodash/lodash.js", UntickedReason::environment);
    tree.write("home/code/rs/target/CACHEDIR.TAG", cacheTagSignature);
    add("Cargo target", home / "code/rs/target/debug/deps/app.rlib", UntickedReason::buildOutput);
    tree.write("home/toolchains-home/settings.toml", "");
    add("rustup", home / "toolchains-home/toolchains/stable/lib/librustc.so", UntickedReason::packageStore);
    add("Steam", home / "Games/SteamLibrary/steamapps/common/Game/UnityPlayer.so", UntickedReason::gameLibrary);
    tree.write("home/Games/wine/system.reg", "WINE REGISTRY Version 2\n");
    add("Wine prefix", home / "Games/wine/drive_c/windows/system32/d3dx9_43.dll", UntickedReason::gameLibrary);
    tree.folder("home/Sync/.stfolder");
    add("Syncthing", home / "Sync/papers/a.pdf", UntickedReason::syncFolder);
    tree.write("home/Dropbox/.dropbox", "");
    add("Dropbox", home / "Dropbox/b.pdf", UntickedReason::syncFolder);
    tree.write("home/Nextcloud/.sync_5d1e2f3a.db", "");
    add("Nextcloud", home / "Nextcloud/Documents/c.pdf", UntickedReason::syncFolder);
    tree.write("home/Resilio/.sync/ID", "0123");
    add("Resilio", home / "Resilio/d.pdf", UntickedReason::syncFolder);
    tree.write("home/Pictures/2024/IMG_1.CR2.xmp", "<x:xmpmeta/>");
    add("photo with sidecar", home / "Pictures/2024/IMG_1.CR2", UntickedReason::photoSidecar);
    tree.write("home/Pictures/card/IMG_2.NEF", "raw");
    add("sidecar beside its photo", home / "Pictures/card/IMG_2.xmp", UntickedReason::photoSidecar);
    tree.write("home/Pictures/raw/IMG_3.xmp", "<x:xmpmeta/>");
    add("raw beside a sidecar that replaces its extension", home / "Pictures/raw/IMG_3.CR2", UntickedReason::photoSidecar);
    tree.write("home/Zotero/zotero.sqlite", "SQLite format 3");
    add("Zotero", home / "Zotero/storage/ABCD1234/paper.pdf", UntickedReason::applicationData);
    tree.write("home/VirtualBox VMs/deb/deb.vbox", "<VirtualBox/>");
    add("VirtualBox", home / "VirtualBox VMs/deb/debian.iso", UntickedReason::applicationData);
    {
        std::string disk = "QFI\xfb" + TempTree::randomBytes(3000, 77);
        copies(tree, home / "Machines/base.qcow2", disk);  // the one in Downloads is a disk too
        rows.push_back({"qcow2 disk", home / "Machines/base.qcow2", UntickedReason::applicationData});
    }
    add("Jupyter checkpoints", home / "analysis/.ipynb_checkpoints/model-checkpoint.ipynb", UntickedReason::applicationData);  // hidden
    tree.write("home/godot/assets/hero.png.import", "[remap]");
    add("Godot asset", home / "godot/assets/hero.png", UntickedReason::photoSidecar);
    add("system folder", tree.path() / "usr/lib/x86_64-linux-gnu/libfoo.so.1", UntickedReason::systemFile);
    tree.write("var/lib/dpkg/info/toolkit.list", "/data\n/data/toolkit\n/data/toolkit/libbar.dat\n");
    add("listed by a package", tree.path() / "data/toolkit/libbar.dat", UntickedReason::systemFile);
    add("under /lib64, listed by no package", tree.path() / "lib64/ld-extra.so.2", UntickedReason::systemFile);

    for (const bool hidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(tree.path(), hidden);
        for (const Row& row : rows) {
            if (!hidden && row.inWhole.string().find("/.") != std::string::npos) continue;
            const DuplicateGroup* group = holding(groups, row.inWhole);
            ASSERT_NE(group, nullptr) << row.kind;
            EXPECT_FALSE(group->ticksCopies()) << row.kind << (hidden ? ", hidden files on" : "");
            EXPECT_EQ(copyAt(*group, row.inWhole)->untickedReason, row.reason) << row.kind;
            if (row.kind != "qcow2 disk") {
                EXPECT_EQ(copyAt(*group, home / "Downloads" / row.inWhole.filename())->untickedReason, std::nullopt) << row.kind;
            }
            EXPECT_GT(group->reclaimableBytes(), 0) << row.kind << ": the figure still says what a move would free";
        }
    }
}

// Loose copies stay ticked: in Downloads, Documents and Pictures beside wholes. A folder at the
// home's top that is no user folder holds no loose copy, even beside a repository.
TEST(DuplicateWholes, LooseCopiesBesideWholesAreStillTicked) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.folder("home");
    if (fs::exists(git)) gitRepository(home / "code/origin", {{"lib.c", TempTree::randomBytes(2000, 1)}});
    else tree.folder("home/code/origin/.git");
    tree.folder("home/code/web/node_modules");
    tree.write("home/Pictures/IMG_5.CR2.xmp", "<x:xmpmeta/>");  // another photo's sidecar
    const std::string report = TempTree::randomBytes(5000, 2), notes = TempTree::randomBytes(5000, 3), photo = TempTree::randomBytes(5000, 4);
    TempTree::setModified(tree.write("home/Downloads/report.pdf", report), 1'600'000'000);
    TempTree::setModified(tree.write("home/Documents/report.pdf", report), 1'500'000'000);
    TempTree::setModified(tree.write("home/code/notes.txt", notes), 1'600'000'000);
    TempTree::setModified(tree.write("home/code/notes-old.txt", notes), 1'500'000'000);
    TempTree::setModified(tree.write("home/Pictures/IMG_4.CR2", photo), 1'600'000'000);
    TempTree::setModified(tree.write("home/Pictures/copy/IMG_4.CR2", photo), 1'500'000'000);
    for (const bool hidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home, hidden);
        ASSERT_EQ(groups.size(), 3u);
        for (const DuplicateGroup& group : groups) {
            const bool inCode = group.files[0].path.parent_path() == home / "code";
            EXPECT_EQ(group.ticksCopies(), !inCode) << group.files[0].path;
            EXPECT_EQ(group.untickedReason(), inCode ? std::optional(UntickedReason::outsideYourFolders) : std::nullopt) << group.files[0].path;
        }
    }
}

// A search of a tree a package lists, by root or anyone, ticks nothing; nor one of a system folder.
TEST(DuplicateWholes, TheSystemsOwnFilesAreNeverTicked) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const std::string bytes = TempTree::randomBytes(4000, 9);
    TempTree::setModified(tree.write("opt/toolkit/a/libqt.so", bytes), 1'500'000'000);
    TempTree::setModified(tree.write("opt/toolkit/b/libqt.so", bytes), 1'600'000'000);
    TempTree::setModified(tree.write("data/kit/lib/libqt.so", bytes), 1'500'000'000);
    TempTree::setModified(tree.write("data/kit/lib/libqt-copy.so", bytes), 1'600'000'000);
    tree.write("var/lib/dpkg/info/kit:amd64.list", "/data\n/data/kit\n/data/kit/lib\n/data/kit/lib/libqt.so\n");
    for (const char* folder : {"opt", "data"}) {
        const std::vector<DuplicateGroup> groups = search(tree.path() / folder, false);
        ASSERT_EQ(groups.size(), 1u) << folder;
        EXPECT_FALSE(groups[0].ticksCopies()) << folder;
        const fs::path listed = tree.path() / (folder == std::string("opt") ? "opt/toolkit/a/libqt.so" : "data/kit/lib/libqt.so");
        EXPECT_EQ(copyAt(groups[0], listed)->untickedReason, UntickedReason::systemFile) << folder;
    }
    // A home that lies in a system folder stays the user's.
    fs::remove_all(tree.path() / "home");
    fs::create_directories(tree.path() / "var/home/u");
    fs::create_directory_symlink("var/home", tree.path() / "home");
    TempTree::setModified(tree.write("var/home/u/a.bin", bytes), 1'500'000'000);
    TempTree::setModified(tree.write("var/home/u/b.bin", bytes), 1'600'000'000);
    const std::vector<DuplicateGroup> groups = search(tree.path() / "var/home/u", false);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].ticksCopies());
}

// A home with every kind of whole, made by the tools where they are here: after moving what the
// finder ticks, with hidden files searched and then without, every repository passes `git fsck` and
// keeps its working tree, every environment imports its packages, every Node project loads its
// dependency, every sidecar keeps its photo and every photo its sidecar; loose copies do move.
TEST(DuplicateWholes, MovingWhatIsTickedLeavesEveryWholeWorking) {
    if (!fs::exists(git) || !fs::exists(python)) GTEST_SKIP() << "needs git and python3";
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.folder("home");
    std::vector<std::pair<std::string, std::string>> sources;
    for (unsigned i = 0; i < 6; ++i) sources.push_back({"src/file" + std::to_string(i) + ".c", TempTree::randomBytes(1500 + i, 40 + i)});
    gitRepository(home / "code/origin", sources);
    ASSERT_EQ(runFailed(git, gitArguments({"clone", "-q", (home / "code/origin").string(), (home / "code/clone").string()})), "");
    ASSERT_EQ(runFailed(git, gitArguments({"worktree", "add", "-q", "-b", "side", (home / "code/tree").string()}, home / "code/origin")), "");
    ASSERT_EQ(runFailed("/bin/cp", {"-a", (home / "code/clone").string(), (home / "code/clone-a").string()}), "");
    ASSERT_EQ(runFailed("/bin/cp", {"-r", (home / "code/clone").string(), (home / "code/clone-r").string()}), "");
    const std::vector<fs::path> repositories{home / "code/origin", home / "code/clone", home / "code/tree", home / "code/clone-a", home / "code/clone-r"};

    // Environments made by venv, holding packages that vendor the same module twice, as pip and
    // setuptools do.
    const std::vector<fs::path> environments{home / "code/one/venv", home / "code/two/venv"};
    const std::string vendored = "def answer():\n    return 42\n" + std::string(1200, '#') + "\n";
    for (const fs::path& venv : environments) {
        ASSERT_EQ(runFailed(python, {"-m", "venv", "--without-pip", venv.string()}), "");
        const std::string packages = fs::relative(venv, tree.path()).string() + "/lib/site-packages/";
        for (const char* package : {"tool", "resources"}) {
            tree.write(packages + package + "/__init__.py", "from ._vendor.helper import answer\n");
            tree.write(packages + package + "/_vendor/__init__.py", "");
            tree.write(packages + package + "/_vendor/helper.py", vendored);
        }
    }

    const std::string lodash = "module.exports = { chunk: function () { return 'chunked' } };\n" + std::string(3000, ' ');
    std::vector<fs::path> projects;
    for (const char* name : {"web", "api", "cli"}) {
        projects.push_back(home / "code" / name);
        tree.write("home/code/" + std::string(name) + "/node_modules/lodash/lodash.js", lodash);
        tree.write("home/code/" + std::string(name) + "/node_modules/lodash/package.json", R"({"name": "lodash", "main": "lodash.js"})" + std::string(1100, ' '));
        tree.write("home/code/" + std::string(name) + "/index.js", "if (require('lodash').chunk() !== 'chunked') process.exit(1);\n");
    }

    // The same card imported twice, sidecars written at import, and an album copied with cp.
    std::vector<fs::path> photos;
    for (const char* import : {"Pictures/import-1", "Pictures/import-2", "Pictures/album", "Pictures/album-copy"}) {
        for (unsigned i = 0; i < 3; ++i) {
            const std::string name = "IMG_" + std::to_string(i) + ".NEF";
            photos.push_back(tree.write("home/" + std::string(import) + "/" + name, TempTree::randomBytes(4000, 70 + i)));
            tree.write("home/" + std::string(import) + "/" + name + ".xmp", "<x:xmpmeta><rating>" + std::to_string(i) + "</rating></x:xmpmeta>" + std::string(1100, ' '));
        }
    }
    tree.folder("home/Sync/.stfolder");
    const std::string paper = TempTree::randomBytes(6000, 90);
    TempTree::setModified(tree.write("home/Sync/paper.pdf", paper), 1'500'000'000);
    TempTree::setModified(tree.write("home/Downloads/paper.pdf", paper), 1'600'000'000);
    const std::string report = TempTree::randomBytes(6000, 91);
    TempTree::setModified(tree.write("home/Downloads/report.pdf", report), 1'600'000'000);
    TempTree::setModified(tree.write("home/Documents/report.pdf", report), 1'500'000'000);

    int moved = 0;
    for (const bool hidden : {true, false}) {
        moved += int(moveTicked(search(home, hidden), tree.path() / (hidden ? "moved-hidden" : "moved")).size());
        for (const fs::path& repository : repositories) {
            EXPECT_EQ(runFailed(git, gitArguments({"fsck", "--no-progress"}, repository)), "") << repository;
            const ProcessRunner::Result status = ProcessRunner::run(git, gitArguments({"status", "--porcelain"}, repository));
            EXPECT_EQ(status.output, "") << repository;
        }
        for (const fs::path& venv : environments)
            EXPECT_EQ(runFailed(venv / "bin/python", {"-c", "import sys, glob; sys.path[:0] = glob.glob(sys.prefix + '/lib/site-packages'); import tool, resources; assert tool.answer() == resources.answer() == 42"}), "") << venv;
        for (const fs::path& project : projects) {
            if (fs::exists("/usr/bin/node")) {
                EXPECT_EQ(runFailed("/usr/bin/node", {(project / "index.js").string()}), "") << project;
            }
            EXPECT_TRUE(fs::exists(project / "node_modules/lodash/lodash.js")) << project;
        }
        for (const fs::path& photo : photos) {
            EXPECT_TRUE(fs::exists(photo)) << photo;
            EXPECT_TRUE(fs::exists(photo.string() + ".xmp")) << photo;
        }
        EXPECT_TRUE(fs::exists(home / "Sync/paper.pdf"));
    }
    EXPECT_EQ(moved, 1) << "the report downloaded again, newer, while the one in Documents stays";
    EXPECT_FALSE(fs::exists(home / "Downloads/report.pdf"));
    EXPECT_TRUE(fs::exists(home / "Documents/report.pdf"));
}
