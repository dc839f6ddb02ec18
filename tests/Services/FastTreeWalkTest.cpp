#include "Foundation/Cancelled.h"
#include "Services/FastTreeWalk.h"
#include "Support/TempTree.h"

#include <set>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// What every worker saw, as "root:path" lines, merged.
using Seen = std::vector<std::string>;

std::multiset<std::string> walk(const std::vector<std::string>& roots, bool includeHidden, GenericWalk<Seen>::SkipRule skip,
                                std::size_t* localCount = nullptr) {
    auto locals = FastTreeWalk::run<Seen>(
        roots, includeHidden, std::move(skip), nullptr, [] { return Seen(); },
        [](Seen& seen, std::int64_t root, const std::string& directory, const DirectoryEntry& entry) {
            seen.push_back(std::to_string(root) + ":" + directory + "/" + entry.name);
        },
        {});
    if (localCount) *localCount = locals.size();
    std::multiset<std::string> all;
    for (const Seen& seen : locals) all.insert(seen.begin(), seen.end());
    return all;
}

}  // namespace

TEST(FastTreeWalk, VisitsFilesAndFoldersButEntersNoSkippedFolderHiddenEntryOrLink) {
    TempTree tree;
    const std::string root = tree.path().string();
    tree.file("a.txt", 10);
    tree.file("sub/b.txt", 10);
    tree.file("Photos.photoslibrary/inside.jpg", 10);
    tree.file(".hidden/c.txt", 10);
    tree.file(".dotfile", 10);
    fs::create_symlink(tree.path() / "sub", tree.path() / "link");

    auto skipLibraries = [](const std::string&, std::string_view name) { return name.ends_with(".photoslibrary"); };
    std::size_t locals = 0;
    auto seen = walk({root}, false, skipLibraries, &locals);
    EXPECT_EQ(seen, (std::multiset<std::string>{"0:" + root + "/a.txt", "0:" + root + "/sub", "0:" + root + "/sub/b.txt",
                                                 "0:" + root + "/Photos.photoslibrary"}));
    EXPECT_EQ(locals, std::size_t(WalkWorkers::count()));

    auto withHidden = walk({root}, true, FastTreeWalk::neverSkip);
    EXPECT_EQ(withHidden.count("0:" + root + "/.hidden/c.txt"), 1u);
    EXPECT_EQ(withHidden.count("0:" + root + "/.dotfile"), 1u);
    EXPECT_EQ(withHidden.count("0:" + root + "/Photos.photoslibrary/inside.jpg"), 1u);
    EXPECT_EQ(withHidden.count("0:" + root + "/link"), 0u);
}

TEST(FastTreeWalk, NestedRootsKeepTheirIndexesAndUnreadableRootsAreSkipped) {
    TempTree tree;
    tree.file("outer/inner/x.bin", 10);
    const std::string outer = (tree.path() / "outer").string();
    const std::string inner = (tree.path() / "outer/inner").string();
    auto seen = walk({outer, (tree.path() / "missing").string(), inner, (tree.path() / "outer/inner/x.bin").string()}, false,
                     FastTreeWalk::neverSkip);
    EXPECT_EQ(seen, (std::multiset<std::string>{"0:" + outer + "/inner", "0:" + inner + "/x.bin", "2:" + inner + "/x.bin"}));

    std::size_t locals = 0;
    EXPECT_TRUE(walk({}, false, FastTreeWalk::neverSkip, &locals).empty());
    EXPECT_EQ(locals, std::size_t(WalkWorkers::count()));
}

TEST(FastTreeWalk, VolumeRootGivesSingleSlashPaths) {
    std::set<std::string> directories;
    std::mutex lock;
    // Skip everything below the top level: only the root's own listing is read.
    FastTreeWalk::run<int>(
        {"/"}, false, [](const std::string&, std::string_view) { return true; }, nullptr, [] { return 0; },
        [&](int&, std::int64_t, const std::string& directory, const DirectoryEntry& entry) {
            std::lock_guard guard(lock);
            directories.insert(directory + "/" + entry.name);
        },
        {});
    EXPECT_TRUE(directories.count("/usr"));
    for (const auto& path : directories) EXPECT_FALSE(path.starts_with("//")) << path;
}

TEST(FastTreeWalk, StopRequestEndsWithCancelledAndProgressCountsFiles) {
    TempTree tree;
    for (int i = 0; i < 50; ++i) tree.file("d" + std::to_string(i) + "/f", 5000);
    std::stop_source stopped;
    stopped.request_stop();
    bool visited = false;
    EXPECT_THROW(FastTreeWalk::run<int>({tree.path().string()}, false, FastTreeWalk::neverSkip, nullptr, [] { return 0; },
                                        [&](int&, std::int64_t, const std::string&, const DirectoryEntry&) { visited = true; },
                                        stopped.get_token()),
                 Cancelled);
    EXPECT_FALSE(visited);

    // A visit slow enough for several progress ticks; the last tick never exceeds the truth.
    std::vector<FastTreeWalk::Progress> ticks;
    FastTreeWalk::run<int>(
        {tree.path().string()}, false, FastTreeWalk::neverSkip, [&](const FastTreeWalk::Progress& p) { ticks.push_back(p); },
        [] { return 0; },
        [](int&, std::int64_t, const std::string&, const DirectoryEntry& entry) {
            if (entry.type == DirectoryEntry::Kind::file) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        },
        {});
    ASSERT_FALSE(ticks.empty());
    for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_GE(ticks[i].filesSeen, ticks[i - 1].filesSeen);
    EXPECT_LE(ticks.back().filesSeen, 50);
    EXPECT_EQ(ticks.back().bytesSeen % 512, 0);
}
