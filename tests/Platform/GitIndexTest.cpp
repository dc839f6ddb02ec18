#include "Platform/GitIndex.h"
#include "Support/TempTree.h"
#include "Support/TestGit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {

// What git itself lists as tracked, each path once.
std::set<std::string> gitListing(const fs::path& workTree) {
    std::set<std::string> paths;
    const std::string output = TestGit::run(workTree, {"ls-files", "-z"});
    for (std::size_t at = 0; at < output.size();) {
        const std::size_t end = output.find('\0', at);
        paths.insert(output.substr(at, end - at));
        at = end + 1;
    }
    return paths;
}

std::set<std::string> read(const fs::path& gitFolder, std::size_t hashSize = 20) {
    const auto tracked = GitIndex::tracked(gitFolder, hashSize);
    EXPECT_TRUE(tracked.has_value()) << gitFolder;
    return tracked ? std::set<std::string>(tracked->files.begin(), tracked->files.end()) : std::set<std::string>{};
}

// A work tree with the names that trip readers: nested folders, blanks, a newline, a leading dash,
// bytes that are not UTF-8, a long one followed by one that shares nothing with it, one whose entry
// needs no padding beyond its NUL.
void layNames(const TempTree& tree, const std::string& top) {
    for (const std::string& name : std::vector<std::string>{".config/nvim/init.lua", ".config/nvim/lua/plugins.lua", ".config/nvim-old/x", ".bashrc", "a b/c d.txt", "-dash",
                                   "line\nbreak", "latin\xe9", std::string(250, 'n'), "zz", "README.md"})
        tree.write(top + "/" + name, "settings " + name);
}

std::string indexBytes(const fs::path& file) {
    return TempTree::read(file);
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

// Every layout git writes reads as git's own listing: versions 2, 3 (an intent to add) and 4, a
// split index with its shared index, a SHA-256 repository.
TEST(GitIndex, ReadsWhatGitListsInEveryLayout) {
    TempTree tree;
    layNames(tree, "plain");
    TestGit::run(tree.path() / "plain", {"init", "-q"});
    TestGit::run(tree.path() / "plain", {"add", "-A"});
    TestGit::run(tree.path() / "plain", {"commit", "-q", "-m", "settings"});
    EXPECT_EQ(read(tree.path() / "plain/.git"), gitListing(tree.path() / "plain"));
    EXPECT_EQ(gitListing(tree.path() / "plain").size(), 11u);

    tree.write("plain/new-intent", "later");
    TestGit::run(tree.path() / "plain", {"add", "-N", "new-intent"});
    EXPECT_TRUE(read(tree.path() / "plain/.git").contains("new-intent"));
    EXPECT_EQ(read(tree.path() / "plain/.git"), gitListing(tree.path() / "plain"));

    TestGit::run(tree.path() / "plain", {"update-index", "--index-version", "4"});
    EXPECT_EQ(indexBytes(tree.path() / "plain/.git/index")[7], 4);
    EXPECT_EQ(read(tree.path() / "plain/.git"), gitListing(tree.path() / "plain"));

    TestGit::run(tree.path() / "plain", {"update-index", "--index-version", "2", "--split-index"});
    tree.write("plain/after-split", "x");
    TestGit::run(tree.path() / "plain", {"add", "after-split"});
    TestGit::run(tree.path() / "plain", {"rm", "-q", "--cached", ".bashrc"});
    const auto split = gitListing(tree.path() / "plain");
    const auto splitRead = read(tree.path() / "plain/.git");
    // What the split index marks deleted from its shared one still counts: more kept, never less.
    for (const std::string& path : split) EXPECT_TRUE(splitRead.contains(path)) << ::testing::PrintToString(path);
    EXPECT_TRUE(splitRead.contains("after-split"));

    layNames(tree, "sha256");
    TestGit::run(tree.path() / "sha256", {"init", "-q", "--object-format=sha256"});
    TestGit::run(tree.path() / "sha256", {"add", "-A"});
    EXPECT_EQ(read(tree.path() / "sha256/.git", 32), gitListing(tree.path() / "sha256"));
    EXPECT_FALSE(GitIndex::tracked(tree.path() / "sha256/.git", 20));
}

// A submodule and the folders a sparse index keeps unexpanded are kept whole, with all inside them.
TEST(GitIndex, SubmodulesAndSparseFoldersAreKeptWhole) {
    TempTree tree;
    const fs::path top = tree.path() / "home";
    tree.write("home/.config/kept/a", "a");
    tree.write("home/.local/share/far/b", "b");
    TestGit::run(top, {"init", "-q"});
    TestGit::run(top, {"add", "-A"});
    TestGit::run(top, {"commit", "-q", "-m", "x"});
    const std::string head = TestGit::run(top, {"rev-parse", "HEAD"}).substr(0, 40);
    TestGit::run(top, {"update-index", "--add", "--cacheinfo", "160000," + head + ",.config/nvim"});
    TestGit::run(top, {"commit", "-q", "-m", "submodule"});
    TestGit::run(top, {"sparse-checkout", "init", "--cone", "--sparse-index"});
    TestGit::run(top, {"sparse-checkout", "set", ".config"});
    const auto tracked = GitIndex::tracked(top / ".git", 20);
    ASSERT_TRUE(tracked);
    EXPECT_EQ(tracked->folders, (std::vector<std::string>{".config/nvim", ".local"}));
    EXPECT_TRUE(tracked->holds(".config/nvim"));
    EXPECT_TRUE(tracked->holds(".config/nvim/lua"));
    EXPECT_TRUE(tracked->holds(".local/share/far"));
    EXPECT_TRUE(tracked->holds(".config/kept"));
    EXPECT_FALSE(tracked->holds(".config/other"));
}

// An index that is not whole and sound is never read as tracking less: cut anywhere, a byte
// changed anywhere, another signature or version, or a count beyond what it holds.
TEST(GitIndex, AnIndexThatIsNotSoundCannotBeRead) {
    TempTree tree;
    tree.write("w/.config/app/settings", "x");
    tree.write("w/.bashrc", "x");
    TestGit::run(tree.path() / "w", {"init", "-q"});
    TestGit::run(tree.path() / "w", {"add", "-A"});
    for (const char* version : {"2", "4"}) {
        TestGit::run(tree.path() / "w", {"update-index", "--index-version", version});
        const std::string index = indexBytes(tree.path() / "w/.git/index");
        ASSERT_TRUE(GitIndex::parse(index, 20));
        for (std::size_t length = 0; length < index.size(); ++length) EXPECT_FALSE(GitIndex::parse(index.substr(0, length), 20)) << length;
        for (std::size_t at = 0; at < index.size(); ++at) {
            std::string changed = index;
            changed[at] = char(changed[at] ^ 0x20);
            EXPECT_FALSE(GitIndex::parse(changed, 20)) << at;
        }
        // Without its checksum, as git can be told to write it, the layout alone decides.
        std::string unchecked = index;
        std::fill(unchecked.end() - 20, unchecked.end(), '\0');
        ASSERT_TRUE(GitIndex::parse(unchecked, 20));
        EXPECT_EQ(GitIndex::parse(unchecked, 20)->files, (std::vector<std::string>{".bashrc", ".config/app/settings"}));
        // Another signature, version or count; the first entry's length said to be 8, not 7.
        for (const auto& [at, value] : {std::pair{0, 'X'}, {7, '\5'}, {7, '\1'}, {11, '\3'}, {10, '\x7f'}, {73, '\x08'}}) {
            std::string wrong = unchecked;
            wrong[std::size_t(at)] = value;
            EXPECT_FALSE(GitIndex::parse(wrong, 20)) << at;
        }
        for (std::size_t length = 0; length + 20 < unchecked.size(); ++length) {
            const auto cut = GitIndex::parse(unchecked.substr(0, length) + std::string(20, '\0'), 20);
            EXPECT_TRUE(!cut || cut->files == GitIndex::parse(unchecked, 20)->files) << length;
        }
    }
}

// An index laid out by hand: version 2 entries of `paths` with the given modes, then `extensions`
// (signature and body each), without a checksum, as git writes one when told to skip it.
std::string handMadeIndex(const std::vector<std::pair<std::string, std::uint32_t>>& paths, const std::vector<std::pair<std::string, std::string>>& extensions,
                          std::optional<std::uint32_t> writtenLength = std::nullopt) {
    auto bigEndian = [](std::uint32_t value, int width) {
        std::string bytes;
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) bytes += char((value >> shift) & 0xff);
        return bytes;
    };
    std::string index = "DIRC" + bigEndian(2, 4) + bigEndian(std::uint32_t(paths.size()), 4);
    for (const auto& [path, mode] : paths) {
        std::string entry = std::string(24, '\0') + bigEndian(mode, 4) + std::string(12 + 20, '\0') + bigEndian(writtenLength.value_or(std::uint32_t(std::min<std::size_t>(path.size(), 0xFFF))), 2) + path;
        entry.resize((entry.size() + 8) & ~std::size_t(7), '\0');
        index += entry;
    }
    for (const auto& [signature, body] : extensions) index += signature + bigEndian(std::uint32_t(body.size()), 4) + body;
    return index + std::string(20, '\0');
}

// A split index's link to its shared index may hold the shared index's name alone, or with its
// bitmaps; a link too short for a name is not sound.
TEST(GitIndex, ASplitIndexNamesItsSharedIndex) {
    const std::string name(20, '\x5a');
    for (const std::string& link : {name, name + std::string(12, '\0')}) {
        std::string shared;
        const auto tracked = GitIndex::parse(handMadeIndex({{".bashrc", 0100644}, {"", 0100644}}, {{"link", link}}), 20, &shared);
        ASSERT_TRUE(tracked);
        EXPECT_EQ(tracked->files, std::vector<std::string>{".bashrc"});
        std::string hex;
        for (int i = 0; i < 20; ++i) hex += "5a";
        EXPECT_EQ(shared, "sharedindex." + hex);
    }
    EXPECT_FALSE(GitIndex::parse(handMadeIndex({{".bashrc", 0100644}}, {{"link", name.substr(0, 19)}}), 20));
    // Another extension before the link is passed over; one that runs past the end is not sound.
    std::string shared;
    EXPECT_TRUE(GitIndex::parse(handMadeIndex({{".bashrc", 0100644}}, {{"TREE", "anything"}, {"link", name}}), 20, &shared));
    EXPECT_EQ(shared.size(), std::string("sharedindex.").size() + 40);
    std::string overlong = handMadeIndex({{".bashrc", 0100644}}, {{"TREE", std::string("ABCD") + std::string(4, '\0')}});
    overlong[overlong.size() - 20 - 8 - 1] = 100;
    EXPECT_FALSE(GitIndex::parse(overlong, 20));
}

// An index of no entry tracks nothing; an entry's length must be its path's, unless the path is too
// long for the flags to say; entries come in git's order, each once.
TEST(GitIndex, AnEntrysWrittenLengthIsItsPaths) {
    EXPECT_FALSE(GitIndex::parse(handMadeIndex({{".config/b", 0100644}, {".config/a", 0100644}}, {}), 20));
    EXPECT_FALSE(GitIndex::parse(handMadeIndex({{".config/a", 0100644}, {".config/a", 0100644}}, {}), 20));
    // Bytes order as unsigned: é after Z.
    EXPECT_TRUE(GitIndex::parse(handMadeIndex({{".config/a", 0100644}, {".config/aZ", 0100644}, {".config/a\xe9", 0100644}}, {}), 20));
    const auto empty = GitIndex::parse(handMadeIndex({}, {}), 20);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->files.empty());
    const auto one = GitIndex::parse(handMadeIndex({{".bashrc", 0100644}}, {}), 20);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->files, std::vector<std::string>{".bashrc"});
    EXPECT_FALSE(GitIndex::parse(handMadeIndex({{".bashrc", 0100644}}, {}, 6), 20));
    EXPECT_FALSE(GitIndex::parse(handMadeIndex({{".bashrc", 0100644}}, {}, 0xFFE), 20));
    const std::string longPath = std::string(4000, 'd') + "/" + std::string(200, 'f');
    const auto long_ = GitIndex::parse(handMadeIndex({{longPath, 0100644}}, {}), 20);
    ASSERT_TRUE(long_);
    EXPECT_EQ(long_->files, std::vector<std::string>{longPath});
}

// No index: nothing tracked. An index that is not a file, or a split index whose shared index is
// gone: what is tracked cannot be told, and the reading never waits.
TEST(GitIndex, NoIndexTracksNothingAndAnUnreadableOneCannotBeTold) {
    TempTree tree;
    TestGit::run(tree.path(), {"init", "-q", "--bare", "dotfiles"});
    const auto none = GitIndex::tracked(tree.path() / "dotfiles", 20);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->files.empty());
    ASSERT_EQ(::mkfifo((tree.path() / "dotfiles/index").c_str(), 0600), 0);
    EXPECT_FALSE(GitIndex::tracked(tree.path() / "dotfiles", 20));

    tree.write("w/.bashrc", "x");
    TestGit::run(tree.path() / "w", {"init", "-q"});
    TestGit::run(tree.path() / "w", {"update-index", "--split-index", "--add", ".bashrc"});
    for (const auto& entry : fs::directory_iterator(tree.path() / "w/.git"))
        if (entry.path().filename().native().starts_with("sharedindex.")) fs::remove(entry.path());
    EXPECT_FALSE(GitIndex::tracked(tree.path() / "w/.git", 20));
    writeBytes(tree.path() / "w/.git/index", "DIRC");
    EXPECT_FALSE(GitIndex::tracked(tree.path() / "w/.git", 20));
}

// A folder holds what lies inside it, not what only begins with its name.
TEST(TrackedPaths, AFolderHoldsWhatLiesInsideIt) {
    TrackedPaths tracked{.files = {".config/nvim-old/x", ".config/nvim/init.lua", ".config/kritarc", ".config/nvim-lua"}, .folders = {}};
    tracked.sort();
    EXPECT_TRUE(tracked.holds(".config/nvim"));
    EXPECT_TRUE(tracked.holds(".config/kritarc"));
    EXPECT_TRUE(tracked.holds(".config"));
    EXPECT_FALSE(tracked.holds(".config/nvi"));
    EXPECT_FALSE(tracked.holds(".config/krita"));
    EXPECT_FALSE(tracked.holds(".config/nvim/init.lua/x"));
    EXPECT_FALSE(tracked.holds(""));
}
