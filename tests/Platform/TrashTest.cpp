#include "Platform/ProcessRunner.h"
#include "Platform/SystemRoots.h"
#include "Platform/Trash.h"
#include "Foundation/PathText.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ForkedChild::check;

namespace {

int systemErrorOf(const std::function<void()>& move) {
    try {
        move();
    } catch (const TrashError& error) {
        return error.systemError();
    }
    return 0;
}

class TrashTest : public ::testing::Test {
protected:
    fs::path trash() const { return tree.path() / "home/.local/share/Trash"; }
    std::string info(const std::string& name) const { return TempTree::read(trash() / "info" / (name + ".trashinfo")); }
    TempTree tree;
    FixtureRoots roots{tree.path()};
};

// Tests that mount run as root in a mount namespace of their own. What they find comes back as
// text: empty when every check held.
class MountedTrashTest : public TrashTest {
protected:
    void SetUp() override {
        if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    }
    static bool mountTmpfs(const fs::path& at, const char* options = nullptr) {
        fs::create_directories(at);
        return ::mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
    }
};

// What trash-list (trash-cli) shows for the trashes of a data folder and of the mounts it sees.
std::string trashListed(const fs::path& dataHome) {
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    return ProcessRunner::run("/usr/bin/trash-list", {}).output;
}

bool hasTrashList() { return ::access("/usr/bin/trash-list", X_OK) == 0; }

// Restores the one item trashed from `original` with trash-restore, answering its question with 0.
bool restoredByTrashRestore(const fs::path& original) {
    int input[2];
    if (::pipe(input) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::close(input[0]);
        ::close(input[1]);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::execl("/usr/bin/trash-restore", "trash-restore", original.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    const bool answered = ::write(input[1], "0\n", 2) == 2;
    ::close(input[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return answered && fs::exists(original);
}

}  // namespace

TEST_F(TrashTest, CollisionsNeverOverwrite) {
    auto first = tree.write("home/docs/report.txt", "first");
    EXPECT_EQ(Trash::moveToTrash(first), trash() / "files/report.txt");
    auto second = tree.write("home/docs/report.txt", "second");
    EXPECT_EQ(Trash::moveToTrash(second), trash() / "files/report 2.txt");
    // A stale info file without its item still claims the name.
    tree.write("home/.local/share/Trash/info/report 3.txt.trashinfo", "x");
    auto third = tree.write("home/docs/report.txt", "third");
    EXPECT_EQ(Trash::moveToTrash(third), trash() / "files/report 4.txt");

    EXPECT_EQ(TempTree::read(trash() / "files/report.txt"), "first");
    EXPECT_FALSE(fs::exists(first));
    EXPECT_NE(info("report 2.txt").find("Path=" + (tree.path() / "home/docs/report.txt").string()), std::string::npos);
}

TEST_F(TrashTest, OddNamesKeepTheirBytesAndArePercentEncoded) {
    const std::string name = std::string("bad\xff name\n-%\"'.bin");
    auto item = tree.write("home/" + name, "x");
    auto moved = Trash::moveToTrash(item);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->filename().native(), name);
    const std::string text = info(name);
    EXPECT_NE(text.find("[Trash Info]\nPath="), std::string::npos);
    EXPECT_NE(text.find("/bad%FF%20name%0A-%25%22%27.bin\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DeletionDate="), std::string::npos);
}

// A name too long for "<name>.trashinfo" with an extension too long to keep is shortened by whole
// characters, never padded, and every such item gets an info file of its own.
TEST_F(TrashTest, LongNamesWithLongExtensionsAreShortenedToValidNames) {
    std::string stem = "a", extension = ".";
    for (int i = 0; i < 60; ++i) stem += "\xc3\xa9";       // é
    for (int i = 0; i < 64; ++i) extension += "\xc3\xbc";  // ü
    const std::string name = stem + extension;  // 250 bytes, an extension of 129
    for (int copy = 1; copy <= 2; ++copy) {
        auto moved = Trash::moveToTrash(tree.write("home/" + name, std::to_string(copy)));
        ASSERT_TRUE(moved);
        const std::string kept = moved->filename().native();
        EXPECT_EQ(kept.find('\0'), std::string::npos);
        EXPECT_TRUE(PathText::isValidUtf8(kept));
        EXPECT_EQ(kept, copy == 1 ? name.substr(0, 244) : name.substr(0, 242) + " 2");
        EXPECT_EQ(TempTree::read(*moved), std::to_string(copy));
        EXPECT_NE(info(kept).find("Path=" + (tree.path() / "home").string() + "/a%C3%A9"), std::string::npos);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(trash() / "info"), fs::directory_iterator()), 2);
}

TEST_F(TrashTest, LinksAreMovedNotFollowedAndMissingItemsAreNothing) {
    auto target = tree.write("home/target.txt", "keep");
    fs::create_symlink(target, tree.path() / "home/link");
    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/link"), trash() / "files/link");
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(fs::is_symlink(trash() / "files/link"));

    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/gone"), std::nullopt);
    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/gone/deeper"), std::nullopt);
    fs::create_symlink(tree.path() / "home/nowhere", tree.path() / "home/dangling");
    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/dangling"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(tree.path() / "home/dangling"));

    auto folder = tree.file("home/project/src/main.c", 10);
    EXPECT_EQ(Trash::moveToTrash(folder.parent_path().parent_path()), trash() / "files/project");
    EXPECT_TRUE(fs::exists(trash() / "files/project/src/main.c"));
}

// Asked to, a link whose target is gone goes as the link it is; an item expected to be one file is
// refused when another has taken its name, and stays.
TEST_F(TrashTest, DanglingLinksOnRequestAndOnlyTheExpectedFile) {
    fs::create_symlink(tree.folder("home") / "nowhere", tree.path() / "home/dangling");
    EXPECT_EQ(Trash::moveToTrash(tree.path() / "home/dangling", {.moveDanglingLinks = true}), trash() / "files/dangling");
    EXPECT_TRUE(fs::is_symlink(trash() / "files/dangling"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree.path() / "home/dangling")));

    const fs::path listed = tree.write("home/report.txt", "listed");
    const FileIdentity identity = *FileIdentity::at(listed);
    tree.write("home/report.txt", "edited");  // same length, same inode, a new date
    fs::last_write_time(listed, fs::last_write_time(listed) + std::chrono::seconds(5));
    try {
        Trash::moveToTrash(listed, {.expected = identity});
        FAIL() << "a changed file was moved";
    } catch (const TrashError& error) {
        EXPECT_EQ(error.reason(), TrashError::Reason::changed);
    }
    EXPECT_EQ(TempTree::read(listed), "edited");
    EXPECT_FALSE(fs::exists(trash() / "info/report.txt.trashinfo"));
    EXPECT_EQ(Trash::moveToTrash(listed, {.expected = FileIdentity::at(listed)}), trash() / "files/report.txt");
}

// A folder deleted and made again may get its old inode number back, and its length and dates are
// not part of what tells it: its birth time, where the file system keeps one, is. One whose birth
// time differs from the listed one is another folder and stays; a listing that knows none (a plain
// status read) still matches on the rest.
TEST_F(TrashTest, AFolderBornAgainIsAnotherFolder) {
    const fs::path listed = tree.folder("home/cache");
    FileIdentity identity = *FileIdentity::at(listed);
    if (!identity.born) GTEST_SKIP() << "this file system keeps no birth times";
    FileIdentity bornLater = identity;
    bornLater.born->nanoseconds = (bornLater.born->nanoseconds + 1) % 1'000'000'000;
    bornLater.born->seconds += 1;
    try {
        Trash::moveToTrash(listed, {.expected = bornLater});
        FAIL() << "a folder born at another time was moved";
    } catch (const TrashError& error) {
        EXPECT_EQ(error.reason(), TrashError::Reason::changed);
    }
    EXPECT_TRUE(fs::is_directory(listed));
    struct stat plain {};
    ASSERT_EQ(::lstat(listed.c_str(), &plain), 0);
    EXPECT_EQ(FileIdentity::of(plain), bornLater);  // no birth time on one side: not compared
    tree.file("home/cache/entry", 10);               // its length and dates move; it is the same folder
    EXPECT_EQ(Trash::moveToTrash(listed, {.expected = identity}), trash() / "files/cache");
}

// Nothing inside a trash, nor a trash or what holds one, is ever moved into a trash.
TEST_F(TrashTest, TrashFoldersAndTheirContentsStayPut) {
    Trash::moveToTrash(tree.write("home/a.txt", "a"));
    for (const fs::path& inside : {trash(), trash() / "info", trash() / "files", trash() / "files/a.txt", trash() / "info/a.txt.trashinfo",
                                   tree.path() / "home/.local"})
        EXPECT_EQ(systemErrorOf([&] { Trash::moveToTrash(inside); }), EINVAL) << inside;
    // Reached through a link, too.
    fs::create_symlink(trash(), tree.path() / "home/bin");
    EXPECT_EQ(systemErrorOf([&] { Trash::moveToTrash(tree.path() / "home/bin/info"); }), EINVAL);
    EXPECT_TRUE(fs::exists(trash() / "info/a.txt.trashinfo"));
    EXPECT_TRUE(fs::exists(trash() / "files/a.txt"));
}

// "link/.." names the link's target's parent for the system but the link's parent as text.
TEST_F(TrashTest, DotAndDotDotComponentsAreRefused) {
    tree.write("home/dir/victim", "wrong one");
    tree.write("home/other/victim", "also not this");
    tree.folder("home/other/sub");
    fs::create_symlink(tree.path() / "home/other/sub", tree.path() / "home/dir/link");
    EXPECT_EQ(systemErrorOf([&] { Trash::moveToTrash(tree.path() / "home/dir/link/../victim"); }), EINVAL);
    EXPECT_EQ(systemErrorOf([&] { Trash::moveToTrash(tree.path() / "home/dir/./victim"); }), EINVAL);
    EXPECT_TRUE(fs::exists(tree.path() / "home/dir/victim"));
    EXPECT_TRUE(fs::exists(tree.path() / "home/other/victim"));
    EXPECT_FALSE(fs::exists(trash()));
}

// A home trash that is the user's own link to the user's own folder is used through the link.
TEST_F(TrashTest, HomeTrashThatIsALinkToOwnFolderIsFollowed) {
    const fs::path real = tree.folder("home/elsewhere/Trash");
    fs::create_directories(trash().parent_path());
    fs::create_symlink(real, trash());
    auto moved = Trash::moveToTrash(tree.write("home/a.txt", "a"));
    EXPECT_EQ(moved, real / "files/a.txt");
    EXPECT_TRUE(fs::exists(real / "info/a.txt.trashinfo"));
    EXPECT_FALSE(fs::exists(tree.path() / ("home/.Trash-" + std::to_string(::getuid()))));
    // The link is the home trash's place: it stays.
    EXPECT_EQ(systemErrorOf([&] { Trash::moveToTrash(trash()); }), EINVAL);
    EXPECT_TRUE(fs::is_symlink(trash()));
}

// A trash folder someone else made is never used: the item goes to the next trash of its mount.
TEST(TrashOwnership, AnotherUsersTrashFolderIsPassedOver) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to change the root folder";
    TempTree tree;
    tree.write("home/a.txt", "mine");
    for (const char* folder : {"home/.local/share/Trash", "home/.local/share/Trash/files", "home/.local/share/Trash/info"})
        ASSERT_EQ(::chown(tree.folder(folder).c_str(), 65534, 65534), 0);
    const std::string moved = ForkedChild::runInRoot(tree.path(), [] {
        SystemRoots::install(SystemRoots::fixture("/"));
        return Trash::moveToTrash("/home/a.txt").value_or("nothing").string();
    });
    EXPECT_EQ(moved, "/.Trash-0/files/a.txt");
    EXPECT_TRUE(fs::is_empty(tree.path() / "home/.local/share/Trash/files"));
    EXPECT_TRUE(fs::exists(tree.path() / ".Trash-0/info/a.txt.trashinfo"));
}

// ~/Data is a link into another file system: the item goes to the trash at that file system's top,
// not into a hidden trash beside the item.
TEST_F(MountedTrashTest, ItemBelowALinkIntoAnotherMountGoesToThatMountsTrash) {
    const fs::path mount = tree.path() / "disk";
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!mountTmpfs(mount)) return std::string(ForkedChild::mountFailed);
        fs::create_directories(mount / "data/sub");
        fs::create_directories(mount / "cache");
        std::ofstream(mount / "data/sub/report.txt") << "r";
        std::ofstream(mount / "cache/blob") << "b";
        fs::create_symlink(mount / "data", tree.folder("home") / "Data");
        fs::create_symlink(mount / "cache", tree.path() / "home/.cache");
        std::string found;
        check(found, Trash::moveToTrash(tree.path() / "home/Data/sub/report.txt") == mount / ".Trash-0/files/report.txt", "report not in the mount's trash");
        check(found, Trash::moveToTrash(tree.path() / "home/.cache/blob") == mount / ".Trash-0/files/blob", "cache file not in the mount's trash");
        check(found, TempTree::read(mount / ".Trash-0/info/report.txt.trashinfo").find("Path=data/sub/report.txt\n") != std::string::npos, "wrong Path=");
        check(found, !fs::exists(mount / "data/sub/.Trash-0") && !fs::exists(mount / "cache/.Trash-0"), "a hidden trash was made");
        check(found, !fs::exists(trash()), "the home trash was made");
        if (hasTrashList()) {
            const std::string listed = trashListed(tree.path() / "home/.local/share");
            check(found, listed.find((mount / "data/sub/report.txt").string()) != std::string::npos, "trash-list misses the report: " + listed);
            check(found, listed.find((mount / "cache/blob").string()) != std::string::npos, "trash-list misses the cache file: " + listed);
            check(found, restoredByTrashRestore(mount / "data/sub/report.txt"), "trash-restore did not bring the report back");
        }
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// A bind mount shares its device with the folder it shows but renames never cross it: its items go
// to a trash at the bind mount's top, and nothing is made on the file system's own top.
TEST_F(MountedTrashTest, BindMountedFolderUsesItsOwnTopAndFailedMovesLeaveNoTrashBehind) {
    const fs::path disk = tree.path() / "disk";
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!mountTmpfs(disk)) return std::string(ForkedChild::mountFailed);
        fs::create_directories(disk / "real");
        fs::create_directories(disk / "view");
        std::ofstream(disk / "real/x.txt") << "x";
        if (::mount((disk / "real").c_str(), (disk / "view").c_str(), nullptr, MS_BIND, nullptr) != 0) return std::string(ForkedChild::mountFailed);
        std::string found;
        check(found, Trash::moveToTrash(disk / "view/x.txt") == disk / "view/.Trash-0/files/x.txt", "not in the bind mount's trash");
        check(found, !fs::exists(disk / ".Trash-0"), "a trash was made at the file system's top");

        // A mount point cannot leave its mount: refused before any trash folder is made.
        if (!mountTmpfs(tree.path() / "home/stick")) return std::string(ForkedChild::mountFailed);
        check(found, systemErrorOf([&] { Trash::moveToTrash(tree.path() / "home/stick"); }) == EBUSY, "mount point not refused");
        check(found, !fs::exists(tree.path() / "home/.Trash-0") && !fs::exists(trash()), "a trash was made for a mount point");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// A full file system keeps its own error, and the trash folders made for the failed move go again.
TEST_F(MountedTrashTest, FullFileSystemReportsNoSpaceAndLeavesNothingBehind) {
    const fs::path disk = tree.path() / "full";
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!mountTmpfs(disk, "size=64k")) return std::string(ForkedChild::mountFailed);
        std::ofstream(disk / "item") << "i";
        {
            std::ofstream filler(disk / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), block.size())) {}
        }
        std::string found;
        const int error = systemErrorOf([&] { Trash::moveToTrash(disk / "item"); });
        check(found, error == ENOSPC, std::string("reported ") + std::strerror(error));
        check(found, fs::exists(disk / "item"), "the item is gone");
        check(found, !fs::exists(disk / ".Trash-0"), "an empty trash was left behind");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// A mount's shared .Trash is used only where no one else can put a folder of their own in place of
// the user's: a real folder (not a link) with the sticky bit, owned by root or the user, holding the
// user's own real folder that no one else may write. Otherwise the item goes to .Trash-<uid>, which
// must be the user's own real folder too, or nowhere.
TEST_F(MountedTrashTest, ASharedTrashIsUsedOnlyWhereNoOneElseCanReplaceTheUsersFolder) {
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    constexpr uid_t someoneElse = 4242;
    const auto folder = [](const fs::path& path, mode_t mode, uid_t owner) {
        return ::mkdir(path.c_str(), 0) == 0 && ::chown(path.c_str(), owner, owner) == 0 && ::chmod(path.c_str(), mode) == 0;
    };
    const auto shared = [&](const fs::path& top, uid_t owner = 0) { return folder(top / ".Trash", 01777, owner); };
    struct Places {
        fs::path top, inShared, own;  // the mount's top, <top>/.Trash/<uid>, <top>/.Trash-<uid>
        uid_t user;
    };
    enum class Goes { intoShared, intoOwn, nowhere };
    struct Case {
        const char* what;
        std::function<bool(const Places&)> make;
        Goes goes;
    };
    const std::vector<Case> cases{
        {"root's sticky .Trash", [&](const Places& at) { return shared(at.top); }, Goes::intoShared},
        {"the user's own sticky .Trash", [&](const Places& at) { return shared(at.top, at.user); }, Goes::intoShared},
        {"a .Trash without the sticky bit", [&](const Places& at) { return folder(at.top / ".Trash", 0777, 0); }, Goes::intoOwn},
        {"a .Trash that links to a sticky folder",
         [&](const Places& at) { return folder(at.top / "shared", 01777, 0) && ::symlink("shared", (at.top / ".Trash").c_str()) == 0; }, Goes::intoOwn},
        {"another user's sticky .Trash", [&](const Places& at) { return shared(at.top, someoneElse); }, Goes::intoOwn},
        {"the user's folder made by another user", [&](const Places& at) { return shared(at.top) && folder(at.inShared, 0700, someoneElse); }, Goes::intoOwn},
        {"a link in place of the user's folder",
         [&](const Places& at) { return shared(at.top) && folder(at.top / "mine", 0700, at.user) && ::symlink("../mine", at.inShared.c_str()) == 0; },
         Goes::intoOwn},
        {"the user's folder open to others", [&](const Places& at) { return shared(at.top) && folder(at.inShared, 0777, at.user); }, Goes::intoOwn},
        {"the user's files folder open to others",
         [&](const Places& at) { return shared(at.top) && folder(at.inShared, 0700, at.user) && folder(at.inShared / "files", 0777, at.user); },
         Goes::intoOwn},
        {"a .Trash-<uid> made by another user", [&](const Places& at) { return folder(at.own, 0700, someoneElse); }, Goes::nowhere},
        {"a link as .Trash-<uid> to a folder of the user's",
         [&](const Places& at) { return folder(at.top / "mine", 0700, at.user) && ::symlink("mine", at.own.c_str()) == 0; }, Goes::nowhere},
    };
    for (const uid_t user : {::getuid(), uid_t(65534)}) {
        const std::string uid = std::to_string(user);
        const std::string failures = ForkedChild::runInMountNamespace([&] {
            std::string found;
            for (std::size_t i = 0; i < cases.size(); ++i) {
                const fs::path top = tree.path() / ("disk" + std::to_string(i)), item = top / "item";
                const Places at{top, top / ".Trash" / uid, top / (".Trash-" + uid), user};
                if (!mountTmpfs(top)) return std::string(ForkedChild::mountFailed);
                std::ofstream(item) << "x";
                const std::string what = std::string(cases[i].what) + " as user " + uid;
                if (!cases[i].make(at) || ::chown(item.c_str(), user, user) != 0) return "cannot make " + what;
                const auto move = [&]() -> std::string {
                    try {
                        return Trash::moveToTrash(item).value_or("nothing").string();
                    } catch (const TrashError& error) {
                        return error.reason() == TrashError::Reason::noTrash ? "no trash" : error.what();
                    }
                };
                const std::string moved = user == ::getuid() ? move() : ForkedChild::runAsNobody(move);
                const Goes goes = cases[i].goes;
                if (goes == Goes::nowhere) {
                    check(found, moved == "no trash" && fs::exists(item), what + ": " + moved);
                } else {
                    const fs::path trash = goes == Goes::intoShared ? at.inShared : at.own;
                    check(found, moved == (trash / "files/item").string(), what + ": moved to " + moved);
                    check(found, TempTree::read(trash / "info/item.trashinfo").starts_with("[Trash Info]\nPath=item\n"), what + ": no info file beside it");
                }
                check(found, goes == Goes::intoShared || !fs::exists(at.inShared / "info"), what + ": a trash was made in .Trash");
                check(found, goes != Goes::nowhere || !fs::exists(at.own / "info"), what + ": a trash was made in .Trash-" + uid);
            }
            return found;
        });
        if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
        EXPECT_EQ(failures, "");
    }
}

// What the Trash moves, trash-cli lists and restores: long names, odd bytes, collisions.
TEST_F(TrashTest, TrashToolsListAndRestoreWhatWasMoved) {
    if (!hasTrashList()) GTEST_SKIP() << "trash-cli is not installed";
    const std::string longName = std::string(120, 'n') + "." + std::string(130, 'x');
    const fs::path home = tree.folder("home");
    const std::vector<fs::path> originals{home / longName, home / "docs/report.txt", home / "odd 'name' -x.txt"};
    for (const fs::path& original : originals) ASSERT_TRUE(Trash::moveToTrash(tree.write(fs::relative(original, tree.path()), original.filename())));
    ASSERT_TRUE(Trash::moveToTrash(tree.write("home/docs/report.txt", "second")));

    const char* oldDataHome = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldDataHome ? oldDataHome : "";
    const std::string listed = trashListed(home / ".local/share");
    for (const fs::path& original : originals) EXPECT_NE(listed.find(original.string()), std::string::npos) << listed;
    for (const fs::path& original : {originals[0], originals[2]}) {
        EXPECT_TRUE(restoredByTrashRestore(original)) << original;
        EXPECT_EQ(TempTree::read(original), original.filename().string());
    }
    if (oldDataHome) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
}
