#include "Platform/SystemRoots.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class CleanupCandidatesTest : public ::testing::Test {
protected:
    static std::int64_t allocated(const fs::path& path) { return TempTree::allocatedSize(path); }
    const CleanupCandidate* find(const std::vector<CleanupCandidate>& list, const fs::path& path) const {
        for (const auto& candidate : list)
            if (candidate.path == path) return &candidate;
        return nullptr;
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    FileIntelligenceService service;
};

}  // namespace

TEST_F(CleanupCandidatesTest, ProposesCacheEntriesAndInstallersMeasuredByAllocatedSize) {
    tree.file("home/.cache/app/data.bin", 20000);
    tree.file("home/.cache/app/.hidden/inside.bin", 30000);  // hidden inside a proposal: counted
    tree.file("home/.cache/.hiddencache/x.bin", 50000);      // hidden directly in the cache folder: not proposed
    tree.folder("home/.cache/empty");
    auto loose = tree.file("home/.cache/loose.log", 1000);
    fs::create_symlink(tree.path() / "home/.cache/app", tree.path() / "home/.cache/link");
    auto image = tree.file("home/Downloads/Setup.DMG", 7000);
    fs::last_write_time(image, fs::file_time_type::clock::now() - std::chrono::days(30));
    auto deb = tree.file("home/Downloads/tool_1.0_amd64.deb", 9000);
    tree.file("home/Downloads/archive.zip", 90000);
    tree.file("home/Downloads/Bundle.pkg/Contents/payload", 12000);

    auto list = service.cleanupCandidates();
    const auto* app = find(list, tree.path() / "home/.cache/app");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->size, allocated(tree.path() / "home/.cache/app/data.bin") + allocated(tree.path() / "home/.cache/app/.hidden/inside.bin"));
    EXPECT_EQ(app->id, (tree.path() / "home/.cache/app").string());
    EXPECT_EQ(app->titleKey, "cleanup.cache");
    EXPECT_EQ(app->detailKey, "cleanup.cache.detail");
    EXPECT_EQ(app->kind, "cache");
    EXPECT_EQ(app->safety, CleanupSafety::safe);
    ASSERT_NE(find(list, loose), nullptr);
    EXPECT_EQ(find(list, loose)->size, allocated(loose));
    EXPECT_EQ(find(list, tree.path() / "home/.cache/.hiddencache"), nullptr);
    EXPECT_EQ(find(list, tree.path() / "home/.cache/empty"), nullptr);
    EXPECT_EQ(find(list, tree.path() / "home/.cache/link"), nullptr);  // measures 0 and drops out

    const auto* installer = find(list, image);
    ASSERT_NE(installer, nullptr);
    EXPECT_EQ(installer->kind, "installer");
    EXPECT_EQ(installer->safety, CleanupSafety::review);
    EXPECT_EQ(installer->titleKey, "cleanup.installers");
    EXPECT_NE(find(list, deb), nullptr);
    EXPECT_EQ(find(list, tree.path() / "home/Downloads/archive.zip"), nullptr);
    const auto* package = find(list, tree.path() / "home/Downloads/Bundle.pkg");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->size, allocated(tree.path() / "home/Downloads/Bundle.pkg/Contents/payload"));

    EXPECT_EQ(list.size(), 5u);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.size > b.size; }));

    // Files and folders carry what the move checks against; a folder is told by what it is, not by
    // its dates, which follow its use. An installer replaced by a new download of the same name
    // stays where it is, and so does a folder deleted and made again (on ext4 usually at the same
    // inode number); a cache folder that gained an entry still goes.
    EXPECT_EQ(installer->identity, FileIdentity::at(image));
    EXPECT_EQ(app->identity, FileIdentity::at(app->path));
    ASSERT_TRUE(package->identity);
    EXPECT_EQ(package->identity->type, std::uint32_t(S_IFDIR));
    fs::remove(image);
    tree.file("home/Downloads/Setup.DMG", 7000);
    tree.file("home/.cache/app/new.bin", 4096);
    fs::remove_all(package->path);
    tree.file("home/Downloads/Bundle.pkg/Contents/payload", 12000);
    const TrashResult moved = service.moveToTrash({TrashRequest(image, installer->identity), TrashRequest(app->path, app->identity),
                                                   TrashRequest(package->path, package->identity)});
    EXPECT_EQ(moved.moved.size(), 1u);
    EXPECT_EQ(moved.changed, (std::vector<fs::path>{image, package->path}));
    EXPECT_TRUE(fs::exists(image));
    EXPECT_TRUE(fs::exists(package->path / "Contents/payload"));
    EXPECT_FALSE(fs::exists(app->path));
}

TEST_F(CleanupCandidatesTest, KeepsTheLargestEightyAndTiesKeepCachesBeforeInstallers) {
    for (int i = 0; i < 85; ++i) tree.file("home/.cache/c" + std::to_string(i) + "/f", std::size_t(100 + i) * 4096);
    auto list = service.cleanupCandidates();
    ASSERT_EQ(list.size(), 80u);
    EXPECT_EQ(list.front().path, tree.path() / "home/.cache/c84");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(find(list, tree.path() / ("home/.cache/c" + std::to_string(i))), nullptr);

    TempTree other;
    SystemRoots::install(SystemRoots::fixture(other.path()));
    auto cache = other.file("home/.cache/same", 4096);
    auto installer = other.file("home/Downloads/same.pkg", 4096);
    list = service.cleanupCandidates();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, cache);
    EXPECT_EQ(list[1].path, installer);
}

TEST_F(CleanupCandidatesTest, DeveloperCachesComeFromTheTableInLinuxPlaces) {
    tree.file("home/.npm/_cacache/index/a", 8192);
    tree.file("home/.cache/yarn/v6/pkg", 8192);
    tree.file("home/.gradle/caches/modules/m.jar", 40000);
    tree.folder("home/.cache/pnpm");  // empty: drops out
    tree.file("home/.cache/com.docker.docker/x", 8192);  // Docker Desktop has no Linux cache folder here

    auto list = service.developerCandidates();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, tree.path() / "home/.gradle/caches");
    EXPECT_EQ(list[0].titleKey, "developer.gradle");
    // Equal sizes keep table order: npm (row 5) before Yarn (row 7).
    EXPECT_EQ(list[1].path, tree.path() / "home/.npm/_cacache");
    EXPECT_EQ(list[2].path, tree.path() / "home/.cache/yarn");
    EXPECT_EQ(list[2].detailKey, "developer.yarn.detail");
    for (const auto& candidate : list) {
        EXPECT_EQ(candidate.kind, "developer");
        EXPECT_EQ(candidate.safety, CleanupSafety::safe);
    }
}

TEST_F(CleanupCandidatesTest, StoppedMeasuringDropsFoldersButKeepsFiles) {
    tree.file("home/.cache/folder/f", 8192);
    auto file = tree.file("home/Downloads/app.AppImage", 8192);
    std::stop_source stopped;
    stopped.request_stop();
    auto list = service.cleanupCandidates(stopped.get_token());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path, file);
}
