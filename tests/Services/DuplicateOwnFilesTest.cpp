#include "Platform/ProcessRunner.h"
#include "Support/DuplicateSearches.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <dlfcn.h>

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace DuplicateSearches;

// A real program and a real shared library of this machine, to be copied where installs put them.
const fs::path realProgram = "/usr/bin/true";

fs::path loadedLibrary() {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (const std::size_t at = line.find('/'); at != std::string::npos && line.find("/libz.so") != std::string::npos) return line.substr(at);
    return {};
}

fs::path copyOf(const fs::path& from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    return to;
}

// A home as its users have it, each program, game, library and application laid out as it installs
// itself, with the real program and library of this machine where it puts an executable: every row's
// copy lies in one of them.
struct LivedInHome {
    struct Row {
        std::string kind;
        fs::path copy;
        UntickedReason reason;
    };
    std::vector<Row> rows;
    std::vector<fs::path> programs;   // must still start
    std::vector<fs::path> libraries;  // must still load
    std::vector<fs::path> kept;       // must stay
    std::vector<fs::path> loose;      // ticked

    explicit LivedInHome(const TempTree& tree) {
        const fs::path home = tree.path() / "home";
        const fs::path library = loadedLibrary();
        unsigned seed = 300;
        auto row = [&](std::string kind, std::vector<fs::path> copies, UntickedReason reason) {
            same(tree, copies, ++seed);
            for (const fs::path& copy : copies) kept.push_back(copy);
            rows.push_back({std::move(kind), copies.front(), reason});
        };
        // Go SDKs as golang.org/dl unpacks them, alone and two: per-system sources that are identical.
        for (const char* version : {"go1.19.8", "go1.20.3"}) programs.push_back(copyOf(realProgram, home / "sdk" / version / "bin/go"));
        row("one Go SDK", {home / "sdk/go1.19.8/src/os/stat_dragonfly.go", home / "sdk/go1.19.8/src/os/stat_linux.go"}, UntickedReason::programInstall);
        row("two Go SDKs", {home / "sdk/go1.19.8/src/net/http/server.go", home / "sdk/go1.20.3/src/net/http/server.go"}, UntickedReason::programInstall);
        // Two IDE tarballs in ~/opt sharing jars, and one unpacked in Downloads twice.
        row("two IDE trees", {home / "opt/idea-2023/lib/util.jar", home / "opt/idea-2024/lib/util.jar"}, UntickedReason::programInstall);
        for (const char* ide : {"Downloads/ide", "Downloads/ide-copy"}) programs.push_back(copyOf(realProgram, home / ide / "bin/fsnotifier"));
        row("an IDE in Downloads", {home / "Downloads/ide/license/LICENSE.txt", home / "Downloads/ide-copy/license/LICENSE.txt"}, UntickedReason::programInstall);
        // Unity games outside Steam sharing their player, runtime and managed code.
        for (const char* game : {"GOG Games/Hollow/game", "Games/Heroic/Lantern"}) {
            programs.push_back(copyOf(realProgram, home / game / "Game.x86_64"));
            if (!library.empty()) libraries.push_back(copyOf(library, home / game / "UnityPlayer.so"));
        }
        row("a game's managed code", {home / "GOG Games/Hollow/game/Game_Data/Managed/UnityEngine.dll", home / "Games/Heroic/Lantern/Game_Data/Managed/UnityEngine.dll"},
            UntickedReason::programInstall);
        row("a game's data", {home / "GOG Games/Hollow/game/Game_Data/StreamingAssets/shared.bundle", home / "Downloads/shared.bundle"}, UntickedReason::programInstall);
        // R packages of two versions.
        for (const char* version : {"4.2", "4.3"}) {
            tree.write("home/R/x86_64-pc-linux-gnu-library/" + std::string(version) + "/jsonlite/DESCRIPTION", "Package: jsonlite\n");
            tree.folder("home/R/x86_64-pc-linux-gnu-library/" + std::string(version) + "/jsonlite/Meta");
        }
        row("R libraries", {home / "R/x86_64-pc-linux-gnu-library/4.2/jsonlite/R/jsonlite.rdb", home / "R/x86_64-pc-linux-gnu-library/4.3/jsonlite/R/jsonlite.rdb"},
            UntickedReason::programInstall);
        // pyenv's versions: their standard libraries.
        for (const char* version : {"3.11.4", "3.12.0"}) {
            const std::string lib = "home/.pyenv/versions/" + std::string(version) + "/lib/python3/";
            tree.write(lib + "encodings/__init__.py", "import codecs\n" + std::string(1100, '#'));
            kept.push_back(tree.path() / lib / "encodings/__init__.py");
        }
        row("pyenv versions", {home / ".pyenv/versions/3.11.4/lib/python3/os.py", home / ".pyenv/versions/3.12.0/lib/python3/os.py"}, UntickedReason::applicationFolder);
        // Snap's revision folders, browser profiles with one extension, Flatpak's and VS Code's data.
        row("snap revisions", {home / "snap/firefox/2356/places.sqlite", home / "snap/firefox/2360/places.sqlite"}, UntickedReason::applicationFolder);
        row("snap revisions, hidden", {home / "snap/firefox/2356/.mozilla/firefox/p.default/key4.db", home / "snap/firefox/2360/.mozilla/firefox/p.default/key4.db"},
            UntickedReason::applicationFolder);
        row("two browser profiles", {home / ".mozilla/firefox/a.default/extensions/ublock@x.xpi", home / ".mozilla/firefox/b.default/extensions/ublock@x.xpi",
                                     home / "Downloads/ublock.xpi"},
            UntickedReason::applicationFolder);
        row("Flatpak's data", {home / ".var/app/org.gimp.GIMP/config/brush.gbr", home / "Pictures/brush.gbr"}, UntickedReason::applicationFolder);
        row("an editor's extensions", {home / ".vscode/extensions/python-1/out/extension.js", home / ".vscode/extensions/python-2/out/extension.js"},
            UntickedReason::applicationFolder);
        row("a folder of the home's top", {home / "Projects/notes.txt", home / "Documents/notes.txt"}, UntickedReason::outsideYourFolders);

        // Loose copies beside them, which a user means to clean.
        auto looseCopies = [&](std::vector<fs::path> copies) {
            same(tree, copies, ++seed);
            loose.insert(loose.end(), copies.begin(), copies.end() - 1);  // the newest stays
        };
        looseCopies({home / "Downloads/report (1).pdf", home / "Downloads/report.pdf"});
        looseCopies({home / "Pictures/IMG_7.jpg", home / "Pictures/Trip/IMG_7.jpg"});
        looseCopies({home / "Desktop/plan.odt", home / "plan.odt"});
        const std::string image = TempTree::randomBytes(5000, ++seed);
        for (const char* name : {"Downloads/Tool.AppImage", "Downloads/Tool (1).AppImage"}) {
            fs::path appImage = copyOf(realProgram, home / name);
            std::ofstream(appImage, std::ios::app) << image;  // one content, both real programs
        }
        TempTree::setModified(home / "Downloads/Tool.AppImage", 1'500'000'000);
        loose.push_back(home / "Downloads/Tool (1).AppImage");  // the newer, but the name a copy gets
    }
};

}  // namespace

// A row per kind of install and application data, on the layouts they make: a group that reaches into
// one ticks nothing and its copy says where it lies, with hidden files on and off.
TEST(DuplicateOwnFiles, AGroupThatReachesOutsideTheUsersFilesTicksNothingAndSaysWhere) {
    if (!fs::exists(realProgram)) GTEST_SKIP() << realProgram << " is missing";
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    const LivedInHome installed(tree);
    for (const bool includeHidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home, includeHidden);
        for (const LivedInHome::Row& row : installed.rows) {
            if (!includeHidden && row.copy.string().find("/.") != std::string::npos) continue;
            const DuplicateGroup* group = holding(groups, row.copy);
            ASSERT_NE(group, nullptr) << row.kind;
            EXPECT_FALSE(group->ticksCopies()) << row.kind << (includeHidden ? ", hidden files on" : "");
            EXPECT_EQ(copyAt(*group, row.copy)->untickedReason, row.reason) << row.kind << (includeHidden ? ", hidden files on" : "");
            EXPECT_GT(group->reclaimableBytes(), 0) << row.kind;
        }
        // The install or application folder a copy lies in is named.
        for (const auto& [copy, within] : std::vector<std::pair<fs::path, fs::path>>{
                 {home / "sdk/go1.19.8/src/os/stat_dragonfly.go", home / "sdk/go1.19.8"},
                 {home / "Downloads/ide/license/LICENSE.txt", home / "Downloads/ide"},
                 {home / "GOG Games/Hollow/game/Game_Data/StreamingAssets/shared.bundle", home / "GOG Games/Hollow/game"},
                 {home / "R/x86_64-pc-linux-gnu-library/4.2/jsonlite/R/jsonlite.rdb", home / "R/x86_64-pc-linux-gnu-library/4.2/jsonlite"},
                 {home / "snap/firefox/2356/places.sqlite", home / "snap/firefox"},
                 {home / ".mozilla/firefox/a.default/extensions/ublock@x.xpi", home / ".mozilla"}}) {
            if (!includeHidden && copy.string().find("/.") != std::string::npos) continue;
            const DuplicateGroup* group = holding(groups, copy);
            ASSERT_NE(group, nullptr) << copy;
            EXPECT_EQ(copyAt(*group, copy)->untickedWithin, within) << copy;
        }
    }
    // Searched on their own, the installs are still theirs, and so is what lies below a hidden folder.
    for (const fs::path& folder : {home / "sdk", home / "sdk/go1.19.8/src", home / "Downloads/ide", home / "GOG Games", home / "R", home / ".pyenv"}) {
        for (const DuplicateGroup& group : search(folder, true)) EXPECT_FALSE(group.ticksCopies()) << folder << ": " << group.files[0].path;
    }
}

// The same home after moving what is ticked, hidden files searched and not: every program starts,
// every library loads, every install, profile and application keeps its files; the loose copies went.
TEST(DuplicateOwnFiles, MovingWhatIsTickedLeavesEveryProgramWorking) {
    if (!fs::exists(realProgram)) GTEST_SKIP() << realProgram << " is missing";
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    const LivedInHome installed(tree);
    std::vector<fs::path> moved;
    for (const bool includeHidden : {true, false}) {
        for (const fs::path& path : moveTicked(search(home, includeHidden), tree.path() / (includeHidden ? "bin-hidden" : "bin"))) moved.push_back(path);
        for (const fs::path& started : installed.programs) {
            const ProcessRunner::Result result = ProcessRunner::run(started, {});
            EXPECT_TRUE(result.exitedNormally() && result.exitStatus == 0) << started;
        }
        for (const fs::path& loaded : installed.libraries) {
            void* handle = ::dlopen(loaded.c_str(), RTLD_NOW | RTLD_LOCAL);
            EXPECT_NE(handle, nullptr) << loaded;
            if (handle) ::dlclose(handle);
        }
        for (const fs::path& file : installed.kept) EXPECT_TRUE(fs::exists(file)) << file;
    }
    std::sort(moved.begin(), moved.end());
    std::vector<fs::path> loose = installed.loose;
    std::sort(loose.begin(), loose.end());
    EXPECT_EQ(moved, loose);
}

// The kept copy lies in a lasting place: a photo saved again from a mail into Downloads, newer, is
// the one ticked; two copies in Pictures keep the newest; so do two in Downloads named alike.
TEST(DuplicateOwnFiles, TheCopyKeptIsTheOneInALastingPlace) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    same(tree, {home / "Pictures/Family/birthday.jpg", home / "Downloads/birthday (1).jpg"}, 1);
    same(tree, {home / "Documents/report.pdf", home / "Desktop/report.pdf"}, 2);
    same(tree, {home / "Pictures/a/old.jpg", home / "Pictures/b/new.jpg"}, 3);
    same(tree, {home / "Downloads/setup.deb", home / "Downloads/again/setup.deb"}, 4);
    // Copied with their date (cp -a): the lasting place still decides, and the group is ticked.
    same(tree, {home / "Music/song.ogg", home / "Downloads/song.ogg"}, 5);
    TempTree::setModified(home / "Downloads/song.ogg", 1'500'001'000);
    for (const bool includeHidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home, includeHidden);
        ASSERT_EQ(groups.size(), 5u);
        for (const auto& [keptCopy, ticked] : std::vector<std::pair<fs::path, fs::path>>{
                 {home / "Pictures/Family/birthday.jpg", home / "Downloads/birthday (1).jpg"},
                 {home / "Documents/report.pdf", home / "Desktop/report.pdf"},
                 {home / "Pictures/b/new.jpg", home / "Pictures/a/old.jpg"},
                 {home / "Downloads/again/setup.deb", home / "Downloads/setup.deb"},
                 {home / "Music/song.ogg", home / "Downloads/song.ogg"}}) {
            const DuplicateGroup* group = holding(groups, keptCopy);
            ASSERT_NE(group, nullptr) << keptCopy;
            EXPECT_EQ(group->files[0].path, keptCopy);
            EXPECT_EQ(group->files[1].path, ticked);
            EXPECT_TRUE(group->ticksCopies()) << keptCopy;
        }
    }
}

// Loose copies among the user's own files stay ticked: the home's top and its user folders, a
// user folder renamed in another language, a chosen folder on another drive, and below the home a
// drive mounted under /media when a folder above the home is searched.
TEST(DuplicateOwnFiles, LooseCopiesAmongTheUsersOwnFilesAreTicked) {
    TempTree tree;
    tree.write("home/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n");
    tree.write("proc/self/mountinfo", "36 25 8:17 / /media/maya/CARD rw,relatime shared:1 - vfat /dev/sdb1 rw\n"
                                      "37 25 8:33 / /data rw,relatime shared:1 - ext4 /dev/sdc1 rw\n");
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    same(tree, {home / "Bilder/Urlaub/IMG_1.jpg", home / "Bilder/IMG_1 (Kopie).jpg"}, 10);
    same(tree, {home / "Téléchargements/a.zip", home / "Documents/a.zip"}, 11);
    same(tree, {home / "Videos/clip.mp4", home / "clip.mp4"}, 12);
    same(tree, {tree.path() / "media/maya/CARD/DCIM/IMG_2.jpg", tree.path() / "media/maya/CARD/backup/IMG_2.jpg"}, 13);
    same(tree, {tree.path() / "data/photos/IMG_3.jpg", tree.path() / "data/photos/copy/IMG_3.jpg"}, 14);
    same(tree, {home / "Pictures/p.jpg", home / "Music/p.jpg"}, 15);  // "Pictures" is no user folder here
    for (const bool includeHidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home, includeHidden);
        ASSERT_EQ(groups.size(), 4u);
        for (const DuplicateGroup& group : groups)
            EXPECT_EQ(group.ticksCopies(), group.files[0].path.parent_path().filename() != "Music") << group.files[0].path;
        // Above the home: the card mounted under /media is the user's, a data drive elsewhere is not.
        const std::vector<DuplicateGroup> all = search(tree.path(), includeHidden);
        ASSERT_NE(holding(all, tree.path() / "media/maya/CARD/DCIM/IMG_2.jpg"), nullptr);
        EXPECT_TRUE(holding(all, tree.path() / "media/maya/CARD/DCIM/IMG_2.jpg")->ticksCopies());
        EXPECT_FALSE(holding(all, tree.path() / "data/photos/IMG_3.jpg")->ticksCopies());
        EXPECT_TRUE(holding(all, home / "Bilder/IMG_1 (Kopie).jpg")->ticksCopies());
        // The data drive chosen on its own is the user's choice.
        const std::vector<DuplicateGroup> chosen = search(tree.path() / "data", includeHidden);
        ASSERT_EQ(chosen.size(), 1u);
        EXPECT_TRUE(chosen[0].ticksCopies());
    }
}

// A second user's home below /var/home, searched through the /home link, stays that user's: its
// copies are no system files.
TEST(DuplicateOwnFiles, AHomeBelowVarHomeSearchedThroughTheHomeLinkIsNoSystemFolder) {
    TempTree tree;
    fs::create_directories(tree.path() / "var/home/maya");
    fs::create_directories(tree.path() / "var/home/sam");
    fs::create_directory_symlink("var/home", tree.path() / "home");
    FixtureRoots roots(tree.path());
    SystemRoots machine = SystemRoots::fixture(tree.path());
    machine.home = tree.path() / "home/maya";
    SystemRoots::install(machine);
    same(tree, {tree.path() / "var/home/sam/a.bin", tree.path() / "var/home/sam/b.bin"}, 20);
    const std::vector<DuplicateGroup> groups = search(tree.path() / "home/sam", false);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].ticksCopies());
    EXPECT_EQ(groups[0].untickedReason(), std::nullopt);
}

// Installs that keep their programs one folder below bin/, lib/ or libexec/, with the real program of
// this machine there: TeX Live as its own installer lays out two years, a game unpacked twice in
// Downloads, a tool whose only program is in libexec/. Whether the home, the TeX Live folder or one
// year is searched, hidden files on or off, nothing of them is ticked and each copy names its
// install; after moving what is ticked every program still starts and every install file stays.
TEST(DuplicateOwnFiles, AProgramOneFolderBelowItsBinMakesTheFolderAboveAnInstall) {
    if (!fs::exists(realProgram)) GTEST_SKIP() << realProgram << " is missing";
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    std::vector<fs::path> programs;
    for (const char* year : {"2023", "2024"}) programs.push_back(copyOf(realProgram, home / "texlive" / year / "bin/x86_64-linux/pdflatex"));
    for (const char* game : {"Game-1.0", "Game-1.0 (copy)"}) programs.push_back(copyOf(realProgram, home / "Downloads" / game / "bin/x64/Game"));
    programs.push_back(copyOf(realProgram, home / "opt/tool/libexec/tool"));
    struct Row {
        fs::path copy;
        fs::path install;
    };
    const std::vector<Row> rows{{home / "texlive/2023/texmf-dist/tex/latex/base/article.cls", home / "texlive/2023"},
                                {home / "texlive/2024/texmf-dist/fonts/type1/cm/cmr10.pfb", home / "texlive/2024"},
                                {home / "texlive/2024/bin/x86_64-linux/tex.fmt", home / "texlive/2024"},
                                {home / "Downloads/Game-1.0/data/level1.pak", home / "Downloads/Game-1.0"},
                                {home / "opt/tool/share/tool/data.bin", home / "opt/tool"}};
    same(tree, {rows[0].copy, home / "texlive/2024/texmf-dist/tex/latex/base/article.cls", home / "Documents/article.cls"}, 40);
    same(tree, {home / "texlive/2023/texmf-dist/fonts/type1/cm/cmr10.pfb", rows[1].copy}, 41);
    same(tree, {home / "texlive/2023/bin/x86_64-linux/tex.fmt", rows[2].copy}, 42);
    same(tree, {rows[3].copy, home / "Downloads/Game-1.0 (copy)/data/level1.pak"}, 43);
    same(tree, {rows[4].copy, home / "Downloads/data.bin"}, 44);
    same(tree, {home / "Documents/a.pdf", home / "Downloads/a.pdf"}, 45);  // a loose copy beside them
    std::vector<fs::path> kept;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        if (entry.is_regular_file() && entry.path().filename() != "a.pdf") kept.push_back(entry.path());

    for (const bool includeHidden : {false, true}) {
        for (const fs::path& folder : {home, home / "texlive", home / "texlive/2024", home / "Downloads"}) {
            for (const DuplicateGroup& group : search(folder, includeHidden)) {
                if (group.files[0].path.filename() == "a.pdf") {
                    EXPECT_TRUE(group.ticksCopies()) << folder;
                    continue;
                }
                EXPECT_FALSE(group.ticksCopies()) << folder << ": " << group.files[0].path;
                for (const Row& row : rows)
                    if (const ScannedFile* copy = copyAt(group, row.copy)) {
                        EXPECT_EQ(copy->untickedReason, UntickedReason::programInstall) << folder << ": " << row.copy;
                        if (folder != row.install) {
                            EXPECT_EQ(copy->untickedWithin, row.install) << folder << ": " << row.copy;
                        }
                    }
            }
        }
        moveTicked(search(home, includeHidden), tree.path() / (includeHidden ? "bin-hidden" : "bin"));
        for (const fs::path& started : programs) {
            const ProcessRunner::Result result = ProcessRunner::run(started, {});
            EXPECT_TRUE(result.exitedNormally() && result.exitStatus == 0) << started;
        }
        for (const fs::path& file : kept) EXPECT_TRUE(fs::exists(file)) << file;
    }
    EXPECT_NE(fs::exists(home / "Documents/a.pdf"), fs::exists(home / "Downloads/a.pdf"));
}

// Three rules of the user's own files, each alone: a card mounted under /run/media is the user's
// when a folder above the home is searched; Downloads chosen on its own is no install for holding
// bin/<program>, so its loose copies stay ticked, and a program in its bin/x64 names that folder; a
// hidden folder below a chosen folder is an application's, so a thumbnail in /data/.thumbnails is
// not ticked beside /data's photo, nor is a hidden file, and neither is searched without hidden files.
TEST(DuplicateOwnFiles, ADriveUnderRunMediaDownloadsHoldingABinAndAHiddenFolderOfAChosenOne) {
    if (!fs::exists(realProgram)) GTEST_SKIP() << realProgram << " is missing";
    TempTree tree;
    tree.write("proc/self/mountinfo", "36 25 8:17 / /run/media/ann/CARD rw,relatime shared:1 - exfat /dev/sdb1 rw\n");
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    same(tree, {tree.path() / "run/media/ann/CARD/DCIM/IMG_1.jpg", tree.path() / "run/media/ann/CARD/DCIM/copy/IMG_1.jpg"}, 50);
    copyOf(realProgram, home / "Downloads/bin/tool");
    copyOf("/usr/bin/false", home / "Downloads/bin/x64/tool");
    same(tree, {home / "Downloads/manual.pdf", home / "Downloads/manual (1).pdf"}, 51);
    same(tree, {home / "Downloads/bin/x64/tool.dat", home / "Documents/tool.dat"}, 54);
    same(tree, {tree.path() / "data/x.jpg", tree.path() / "data/.thumbnails/x.jpg"}, 52);
    same(tree, {tree.path() / "data/y.jpg", tree.path() / "data/.y.jpg"}, 53);
    for (const bool includeHidden : {false, true}) {
        const DuplicateGroup* card = nullptr;
        const std::vector<DuplicateGroup> above = search(tree.path(), includeHidden);
        card = holding(above, tree.path() / "run/media/ann/CARD/DCIM/IMG_1.jpg");
        ASSERT_NE(card, nullptr);
        EXPECT_TRUE(card->ticksCopies());
        const std::vector<DuplicateGroup> downloads = search(home / "Downloads", includeHidden);
        ASSERT_EQ(downloads.size(), 1u);
        EXPECT_TRUE(downloads[0].ticksCopies());
        EXPECT_EQ(downloads[0].files[0].path, home / "Downloads/manual.pdf");
        // The program below it is an install of its own, named by its folder, not Downloads.
        const std::vector<DuplicateGroup> inHome = search(home, includeHidden);
        const DuplicateGroup* withTool = holding(inHome, home / "Documents/tool.dat");
        ASSERT_NE(withTool, nullptr);
        EXPECT_FALSE(withTool->ticksCopies());
        EXPECT_EQ(copyAt(*withTool, home / "Downloads/bin/x64/tool.dat")->untickedWithin, home / "Downloads/bin/x64");
    }
    // Hidden files on, they are there and never ticked; off, they are not searched.
    const std::vector<DuplicateGroup> data = search(tree.path() / "data", true);
    ASSERT_EQ(data.size(), 2u);
    for (const DuplicateGroup& group : data) EXPECT_FALSE(group.ticksCopies());
    EXPECT_EQ(copyAt(*holding(data, tree.path() / "data/x.jpg"), tree.path() / "data/.thumbnails/x.jpg")->untickedReason, UntickedReason::applicationFolder);
    EXPECT_TRUE(search(tree.path() / "data", false).empty());
}

// The original name is kept over the one a copy got, the copy being newer: a photo saved again, a
// spreadsheet and a document copied by a desktop, an album folder copied beside itself; two copies
// without a mark keep the newest as before.
TEST(DuplicateOwnFiles, TheOriginalNameIsKeptOverACopysName) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    same(tree, {home / "Pictures/photo.jpg", home / "Pictures/photo (1).jpg"}, 60);
    same(tree, {home / "Documents/budget.xlsx", home / "Documents/Copy of budget.xlsx"}, 61);
    same(tree, {home / "Documents/report.odt", home / "Documents/report (copy).odt"}, 62);
    same(tree, {home / "Music/Album/01.flac", home / "Music/Album (2)/01.flac"}, 63);
    same(tree, {home / "Documents/old/notes.txt", home / "Documents/notes.txt"}, 64);
    for (const bool includeHidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home, includeHidden);
        ASSERT_EQ(groups.size(), 5u);
        for (const fs::path& original : {home / "Pictures/photo.jpg", home / "Documents/budget.xlsx", home / "Documents/report.odt", home / "Music/Album/01.flac",
                                         home / "Documents/notes.txt"}) {
            const DuplicateGroup* group = holding(groups, original);
            ASSERT_NE(group, nullptr) << original;
            EXPECT_EQ(group->files[0].path, original);
            EXPECT_TRUE(group->ticksCopies()) << original;
        }
    }
}
