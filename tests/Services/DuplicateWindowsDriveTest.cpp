#include "Foundation/FileDescriptor.h"
#include "Platform/ProcessRunner.h"
#include "Support/DuplicateSearches.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/InstalledFiles.h"
#include "Support/LoopDisk.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace DuplicateSearches;

bool holdsCopyIn(const std::vector<DuplicateGroup>& groups, const fs::path& folder) {
    for (const DuplicateGroup& group : groups)
        for (const ScannedFile& copy : group.files)
            if (copy.path.native().starts_with(folder.native() + "/")) return true;
    return false;
}

// Marks a file or folder on an SMB share as Windows does, through the attribute the cifs driver shows.
bool markWindowsAttributes(const fs::path& path, std::uint32_t attributes) {
    return ::lsetxattr(path.c_str(), "user.cifs.dosattrib", &attributes, sizeof attributes, 0) == 0;
}

// Lays out on `drive` a photo in a folder its user hid, the thumbnails Windows keeps (hidden and
// system, or system only) and a loose pair, marked through `hide`; searches the drive with hidden
// files off and on. Returns what went wrong.
std::string checkWhatWindowsHides(const TempTree& tree, const fs::path& drive, const std::function<bool(const fs::path&, std::uint32_t)>& hide) {
    std::string found;
    same(tree, {drive / "Documents/Private/passport.jpg", drive / "Pictures/passport.jpg"}, 70);
    same(tree, {drive / "Pictures/Thumbs.db", drive / "Pictures/2019/Thumbs.db"}, 71);
    same(tree, {drive / "Pictures/beach.jpg", drive / "Pictures/Copy of beach.jpg"}, 72);
    for (const auto& [path, attributes] : {std::pair{drive / "Documents/Private", 0x2u}, {drive / "Pictures/Thumbs.db", 0x6u}, {drive / "Pictures/2019/Thumbs.db", 0x4u}})
        ForkedChild::check(found, hide(path, attributes), "cannot mark " + path.string());
    const std::vector<DuplicateGroup> hiddenOff = search(drive, false);
    ForkedChild::check(found, hiddenOff.size() == 1 && hiddenOff[0].files[0].path == drive / "Pictures/beach.jpg" && hiddenOff[0].ticksCopies(),
                       "hidden files off: not only the loose pair");
    const std::vector<DuplicateGroup> hiddenOn = search(drive, true);
    ForkedChild::check(found, hiddenOn.size() == 3, "hidden files on: not three groups");
    for (const DuplicateGroup& group : hiddenOn)
        ForkedChild::check(found, group.ticksCopies() == (group.files[0].path.filename() == "beach.jpg"), "ticked wrongly: " + group.files[0].path.string());
    return found;
}

}  // namespace

// A Windows drive as a dual-boot laptop leaves it, chosen on its own and reached from above the home,
// hidden files off and on: its recycle bins and system folders are never searched (nor a Mac's
// trash on a stick), so the deleted copy is never kept and the live ones stay; what lies in AppData,
// ProgramData, Program Files and Windows (a Start Menu's shortcuts, a browser's extensions, a
// program's files) is never ticked and says where it lies; a game keeping its program in bin/64bit
// is an install; loose photos are ticked, and of a document its user saved on the Desktop too, the
// copy kept is the one in Documents.
TEST(DuplicateWindowsDrive, ItsRecycleBinsAreNeverSearchedAndItsProgramsAndTheirDataNeverTicked) {
    TempTree tree;
    tree.write("proc/self/mountinfo", "36 25 8:17 / /media/ann/Windows rw,relatime shared:1 - ntfs3 /dev/nvme0n1p3 rw\n"
                                      "37 25 8:33 / /media/ann/STICK rw,relatime shared:1 - ext4 /dev/sdb1 rw\n");
    FixtureRoots roots(tree.path());
    const fs::path drive = tree.path() / "media/ann/Windows";
    const fs::path user = drive / "Users/Ann";
    same(tree, {user / "Pictures/wedding.jpg", user / "Documents/wedding.jpg", drive / "$Recycle.Bin/S-1-5-21-1/$RAB12CD.jpg",
                drive / "$Recycle.Bin/S-1-5-21-1/$RAB12CE.jpg"}, 1);
    tree.write("media/ann/Windows/Users/Ann/NTUSER.DAT", "regf");
    same(tree, {user / "Documents/cv.docx", user / "Desktop/cv.docx"}, 4);  // the Desktop's is ticked, newer
    same(tree, {user / "Pictures/cat.jpg", drive / "System Volume Information/cat.jpg", drive / "$WINDOWS.~BT/Sources/cat.jpg", drive / "RECYCLER/S-1-5/Dc1.jpg"}, 2);
    same(tree, {tree.path() / "media/ann/STICK/song.mp3", tree.path() / "media/ann/STICK/$RECYCLE.BIN/S-1-5/$R1.mp3",
                tree.path() / "media/ann/STICK/.Trashes/501/song.mp3"}, 3);
    struct Row {
        fs::path copy;
        UntickedReason reason;
        fs::path within;
    };
    std::vector<Row> rows;
    auto addRow = [&](std::vector<fs::path> copies, UntickedReason reason, const fs::path& within) {
        same(tree, copies, unsigned(10 + rows.size()));
        rows.push_back({copies.front(), reason, within});
    };
    const fs::path chrome = user / "AppData/Local/Google/Chrome/User Data/Default/Extensions/abcdef";
    addRow({chrome / "1.0_0/icon.png", chrome / "1.1_0/icon.png", user / "Pictures/icon.png"}, UntickedReason::applicationFolder, user / "AppData");
    addRow({user / "AppData/Roaming/Mozilla/Firefox/Profiles/x.default/extensions/ublock@x.xpi", user / "Downloads/ublock.xpi"}, UntickedReason::applicationFolder,
        user / "AppData");
    addRow({drive / "ProgramData/Microsoft/Windows/Start Menu/Programs/Editor.lnk", user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Editor.lnk",
         user / "Desktop/Editor.lnk"},
        UntickedReason::applicationFolder, drive / "ProgramData");
    addRow({drive / "Program Files/Editor/editor.exe", drive / "Program Files (x86)/Editor/editor.exe", user / "Downloads/editor.exe"}, UntickedReason::programInstall,
        drive / "Program Files");
    tree.folder("media/ann/Windows/Windows/System32");
    addRow({drive / "Windows/Web/Wallpaper/img0.jpg", user / "Pictures/img0.jpg"}, UntickedReason::programInstall, drive / "Windows");
    tree.write("media/ann/Windows/Games/Foo/bin/64bit/foo.exe", "MZ");
    addRow({drive / "Games/Foo/data/theme.ogg", user / "Music/theme.ogg"}, UntickedReason::programInstall, drive / "Games/Foo");
    same(tree, {user / "Pictures/trip.jpg", user / "Pictures/Trip 2/trip.jpg"}, 40);  // loose, ticked

    for (const bool includeHidden : {false, true}) {
        for (const fs::path& folder : {drive, tree.path()}) {
            const std::vector<DuplicateGroup> groups = search(folder, includeHidden);
            for (const char* unsearched : {"$Recycle.Bin", "System Volume Information", "$WINDOWS.~BT", "RECYCLER"})
                EXPECT_FALSE(holdsCopyIn(groups, drive / unsearched)) << unsearched;
            EXPECT_FALSE(holdsCopyIn(groups, tree.path() / "media/ann/STICK/$RECYCLE.BIN"));
            EXPECT_FALSE(holdsCopyIn(groups, tree.path() / "media/ann/STICK/.Trashes"));
            const DuplicateGroup* cv = holding(groups, user / "Documents/cv.docx");
            ASSERT_NE(cv, nullptr);
            EXPECT_EQ(cv->files[0].path, user / "Documents/cv.docx");
            EXPECT_TRUE(cv->ticksCopies());
            const DuplicateGroup* wedding = holding(groups, user / "Pictures/wedding.jpg");
            ASSERT_NE(wedding, nullptr);
            EXPECT_EQ(wedding->files.size(), 2u);
            EXPECT_TRUE(wedding->ticksCopies());
            EXPECT_EQ(holding(groups, user / "Pictures/cat.jpg"), nullptr);
            for (const Row& row : rows) {
                const DuplicateGroup* group = holding(groups, row.copy);
                ASSERT_NE(group, nullptr) << row.copy;
                EXPECT_FALSE(group->ticksCopies()) << row.copy << " in " << folder;
                EXPECT_EQ(copyAt(*group, row.copy)->untickedReason, row.reason) << row.copy << " in " << folder;
                EXPECT_EQ(copyAt(*group, row.copy)->untickedWithin, row.within) << row.copy << " in " << folder;
            }
            ASSERT_NE(holding(groups, user / "Pictures/trip.jpg"), nullptr);
            EXPECT_TRUE(holding(groups, user / "Pictures/trip.jpg")->ticksCopies()) << folder;
        }
    }
    // A recycle bin chosen on its own holds nothing to offer; a folder in Program Files is a program's.
    EXPECT_TRUE(search(drive / "$Recycle.Bin", true).empty());
    for (const DuplicateGroup& group : search(drive / "Program Files", true)) EXPECT_FALSE(group.ticksCopies());
    // A folder of the user's own called "Windows" holds no system.
    same(tree, {user / "Pictures/Windows/frost.jpg", user / "Pictures/frost.jpg"}, 50);
    const std::vector<DuplicateGroup> withFrost = search(drive, false);
    const DuplicateGroup* frost = holding(withFrost, user / "Pictures/Windows/frost.jpg");
    ASSERT_NE(frost, nullptr);
    EXPECT_TRUE(frost->ticksCopies());
}

// What Windows marks hidden or system on a share is hidden: left out of a search without hidden
// files (the copies beside a hidden one still pair), never ticked in one with them, a hidden folder
// naming itself. The share's top, which Windows
// marks so too, is still searched; a file system that keeps no such marks is asked nothing.
TEST(DuplicateWindowsDrive, WhatWindowsMarksHiddenOrSystemIsHidden) {
    TempTree tree;
    tree.write("proc/self/mountinfo", "36 25 0:51 / /media/ann/Share rw,relatime shared:1 - cifs //nas/ann rw\n");
    FixtureRoots roots(tree.path());
    const fs::path share = tree.path() / "media/ann/Share";
    same(tree, {share / "Photos/a.jpg", share / "Hidden stuff/a.jpg"}, 60);
    same(tree, {share / "Photos/b.jpg", share / "Other/b.jpg"}, 61);
    same(tree, {share / "Photos/c.jpg", share / "Other/c.jpg"}, 62);  // loose, ticked
    same(tree, {share / "Other/d.jpg", share / "Photos/d.jpg", share / "Photos/2019/d.jpg"}, 63);  // the hidden one first: the others still pair
    if (!markWindowsAttributes(share / "Hidden stuff", 0x12) || !markWindowsAttributes(share / "Other/b.jpg", 0x26) || !markWindowsAttributes(share, 0x16))
        GTEST_SKIP() << "this file system keeps no user attributes";
    ASSERT_TRUE(markWindowsAttributes(share / "Photos", 0x11));  // read-only only: Windows's mark of a customised folder
    ASSERT_TRUE(markWindowsAttributes(share / "Other/d.jpg", 0x22));
    for (const fs::path& folder : {share, tree.path()}) {
        const std::vector<DuplicateGroup> hiddenOff = search(folder, false);
        ASSERT_EQ(hiddenOff.size(), 2u) << folder;
        EXPECT_EQ(holding(hiddenOff, share / "Other/d.jpg"), nullptr);
        for (const char* loose : {"Photos/c.jpg", "Photos/d.jpg"}) {
            ASSERT_NE(holding(hiddenOff, share / loose), nullptr) << loose;
            EXPECT_TRUE(holding(hiddenOff, share / loose)->ticksCopies()) << loose;
        }
        const std::vector<DuplicateGroup> hiddenOn = search(folder, true);
        ASSERT_EQ(hiddenOn.size(), 4u) << folder;
        EXPECT_FALSE(holding(hiddenOn, share / "Other/d.jpg")->ticksCopies());
        const DuplicateGroup* a = holding(hiddenOn, share / "Hidden stuff/a.jpg");
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->ticksCopies());
        EXPECT_EQ(copyAt(*a, share / "Hidden stuff/a.jpg")->untickedReason, UntickedReason::applicationFolder);
        EXPECT_EQ(copyAt(*a, share / "Hidden stuff/a.jpg")->untickedWithin, share / "Hidden stuff");
        EXPECT_FALSE(holding(hiddenOn, share / "Other/b.jpg")->ticksCopies());
        EXPECT_TRUE(holding(hiddenOn, share / "Photos/c.jpg")->ticksCopies());
    }
    // What lies above a drive is no part of it: a share its user mounted as "AppData" is searched
    // as any other, chosen or reached from above the home.
    tree.write("proc/self/mountinfo", "36 25 0:51 / /media/ann/Share rw,relatime shared:1 - cifs //nas/ann rw\n"
                                      "37 25 0:52 / /mnt/AppData rw,relatime shared:2 - cifs //nas/data rw\n");
    const fs::path appData = tree.path() / "mnt/AppData";
    same(tree, {appData / "Photos/e.jpg", appData / "Photos/2020/e.jpg"}, 64);
    for (const bool includeHidden : {false, true}) {
        for (const fs::path& folder : {appData, tree.path()}) {
            const std::vector<DuplicateGroup> groups = search(folder, includeHidden);
            const DuplicateGroup* e = holding(groups, appData / "Photos/e.jpg");
            ASSERT_NE(e, nullptr) << folder;
            EXPECT_TRUE(e->ticksCopies()) << folder;
        }
    }
    // The same marks on a file system of Linux's own are no one's.
    tree.write("proc/self/mountinfo", "36 25 0:51 / /media/ann/Share rw,relatime shared:1 - ext4 /dev/sdc1 rw\n");
    EXPECT_EQ(search(share, false).size(), 4u);
}

// The same on NTFS itself, mounted through ntfs-3g as a USB drive is: a folder its user hid and the
// thumbnails Windows keeps are left out without hidden files, and never ticked with them.
TEST(DuplicateWindowsDrive, OnNtfsWhatWindowsHidesIsHidden) {
    const fs::path ntfs3g = "/usr/bin/ntfs-3g", mkntfs = "/usr/sbin/mkntfs";
    if (!fs::exists(ntfs3g) || !fs::exists(mkntfs)) GTEST_SKIP() << "ntfs-3g is not installed";
    TempTree tree;
    tree.write("proc/self/mountinfo", "36 25 8:18 / /media/ann/USB rw,relatime shared:1 - fuseblk /dev/sdb2 rw\n");
    FixtureRoots roots(tree.path());
    const fs::path image = tree.path() / "ntfs.img", drive = tree.folder("media/ann/USB");
    fs::resize_file(tree.write("ntfs.img", ""), 16 << 20);
    if (!ProcessRunner::run(mkntfs, {"-Q", "-F", "-q", image.string()}).exitedNormally()) GTEST_SKIP() << "mkntfs failed";
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        // Kept attached, as a child of this one: a daemon of its own would end with a runner's group.
        pid_t daemon = 0;
        const std::string imageText = image.string(), driveText = drive.string();
        char* const arguments[] = {const_cast<char*>("ntfs-3g"), const_cast<char*>("-o"), const_cast<char*>("no_detach"),
                                   const_cast<char*>(imageText.c_str()), const_cast<char*>(driveText.c_str()), nullptr};
        posix_spawn_file_actions_t quiet;
        ::posix_spawn_file_actions_init(&quiet);
        ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = ::posix_spawn(&daemon, ntfs3g.c_str(), &quiet, nullptr, arguments, environ);
        ::posix_spawn_file_actions_destroy(&quiet);
        if (spawned != 0) return std::string(ForkedChild::mountFailed);
        constexpr long fuseMagic = 0x65735546;
        auto mounted = [&] {
            struct statfs mountedOn {};
            return ::statfs(drive.c_str(), &mountedOn) == 0 && mountedOn.f_type == fuseMagic;
        };
        for (int wait = 0; wait < 300 && !mounted() && ::waitpid(daemon, nullptr, WNOHANG) == 0; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!mounted()) return std::string(ForkedChild::mountFailed);
        const std::string found = checkWhatWindowsHides(tree, drive, [](const fs::path& path, std::uint32_t attributes) {
            unsigned char bytes[4] = {};
            if (::lgetxattr(path.c_str(), "system.ntfs_attrib_be", bytes, 4) != 4) return false;
            bytes[3] |= (unsigned char)attributes;
            return ::lsetxattr(path.c_str(), "system.ntfs_attrib_be", bytes, 4, 0) == 0;
        });
        ::umount2(drive.c_str(), MNT_DETACH);
        ::waitpid(daemon, nullptr, 0);
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// The same on a camera card or a stick formatted FAT, whose marks lie in the directory entry: a
// folder Windows hid and its thumbnails are left out without hidden files and never ticked with them.
TEST(DuplicateWindowsDrive, OnFatWhatWindowsHidesIsHidden) {
    const fs::path mkfs = "/usr/sbin/mkfs.vfat";
    if (!fs::exists(mkfs)) GTEST_SKIP() << "mkfs.vfat is not installed";
    TempTree tree;
    tree.write("proc/self/mountinfo", "36 25 8:17 / /media/ann/CARD rw,relatime shared:1 - vfat /dev/sdb1 rw\n");
    FixtureRoots roots(tree.path());
    const fs::path image = tree.path() / "card.img", card = tree.folder("media/ann/CARD");
    if (!LoopDisk::make(image, 32 << 20, {mkfs.string()})) GTEST_SKIP() << "cannot make a FAT file system";
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, card)) return std::string(ForkedChild::mountFailed);
        return checkWhatWindowsHides(tree, card, [](const fs::path& path, std::uint32_t attributes) {
            const FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
            std::uint32_t value = 0;
            if (!opened.isOpen() || ::ioctl(opened.get(), FAT_IOCTL_GET_ATTRIBUTES, &value) != 0) return false;
            value |= attributes;
            return ::ioctl(opened.get(), FAT_IOCTL_SET_ATTRIBUTES, &value) == 0;
        });
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}
