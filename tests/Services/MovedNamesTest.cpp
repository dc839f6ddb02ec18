#include "Services/FileIntelligenceService.h"
#include "Services/MovedNames.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>


namespace fs = std::filesystem;

namespace {

class MovedNamesTest : public ::testing::Test {
protected:
    fs::path trashed(const std::string& name) const { return tree.path() / "home/.local/share/Trash/files" / name; }
    fs::path linkedPair(const std::string& first, const std::string& second, std::size_t size) {
        const fs::path a = tree.write(first, TempTree::randomBytes(size, 7));
        const fs::path b = tree.path() / second;
        fs::create_directories(b.parent_path());
        fs::create_hard_link(a, b);
        return a;
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    FileIntelligenceService service;
};

}  // namespace

// Every name of one file, ticked together in Forgotten Files and in Smart Cleanup, goes in one move:
// renaming the first name moves the status-change time the others show, which is the move's own
// doing and no sign of change.
TEST_F(MovedNamesTest, EveryNameOfOneFileGoesInOneMove) {
    const fs::path archived = linkedPair("home/Archive/pair-a.bin", "home/Backup/pair-a.bin", 256 * 1024);
    for (const char* name : {"home/Archive/pair-a.bin", "home/Backup/pair-a.bin"}) TempTree::setModified(tree.path() / name, 1'500'000'000);
    linkedPair("home/.cache/blob1", "home/.cache/blob2", 128 * 1024);
    linkedPair("home/Downloads/tool.deb", "home/Downloads/tool.AppImage", 64 * 1024);

    const auto forgotten = service.forgottenFiles(tree.path() / "home", 90, 1);
    const auto cleanup = service.cleanupCandidates();
    std::vector<TrashRequest> requests;
    for (const ScannedFile& file : forgotten) requests.emplace_back(file.path, file.identity);
    for (const CleanupCandidate& candidate : cleanup) requests.emplace_back(candidate.path, candidate.identity);
    ASSERT_EQ(forgotten.size(), 2u);
    ASSERT_EQ(cleanup.size(), 4u);
    tree.waitForStatusClockPast(archived);

    const TrashResult result = service.moveToTrash(requests);
    EXPECT_TRUE(result.changed.empty()) << result.changed.front();
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.moved.size(), 6u);
    for (const TrashRequest& request : requests) EXPECT_FALSE(fs::exists(request.path)) << request.path;
    EXPECT_TRUE(fs::exists(trashed("blob2")));
}

// A duplicate goes while the copy its group keeps is as listed: another name of the kept copy moved
// earlier in the same run changed only its status-change time.
TEST_F(MovedNamesTest, AKeptCopyWhoseOtherNameMovedFirstStillHoldsItsCopies) {
    const fs::path kept = linkedPair("home/Photos/kept.jpg", "home/Old/kept.jpg", 32 * 1024);
    const fs::path copy = tree.write("home/Desktop/copy.jpg", TempTree::read(kept));
    const TrashRequest::Kept keptCopy{kept, *FileIdentity::at(kept)};
    tree.waitForStatusClockPast(kept);
    const TrashResult result = service.moveToTrash({TrashRequest(tree.path() / "home/Old/kept.jpg", FileIdentity::at(kept)),
                                                    TrashRequest(copy, FileIdentity::at(copy), keptCopy)});
    EXPECT_TRUE(result.changed.empty());
    EXPECT_EQ(result.moved.size(), 2u);
    EXPECT_TRUE(fs::exists(kept));
}

// A name that another process changed is still refused: before the move, or between the move of its
// other name and its own.
TEST_F(MovedNamesTest, ANameChangedByAnotherProcessIsStillRefused) {
    const fs::path first = linkedPair("home/a/data.bin", "home/b/data.bin", 8192);
    const fs::path second = tree.path() / "home/b/data.bin";
    const auto listed = *FileIdentity::at(first);
    tree.write("home/a/data.bin", "rewritten");
    const TrashResult result = service.moveToTrash({TrashRequest(first, listed), TrashRequest(second, listed)});
    EXPECT_EQ(result.moved.size(), 0u);
    EXPECT_EQ(result.changed, (std::vector<fs::path>{first, second}));

    // Moved by us, then written by someone else: what the move left no longer holds.
    const fs::path third = linkedPair("home/c/log.txt", "home/d/log.txt", 4096);
    const auto before = *FileIdentity::at(third);
    tree.waitForStatusClockPast(third);
    const fs::path moved = tree.path() / "home/c/moved.txt";
    fs::rename(third, moved);
    MovedNames moves;
    moves.moved(before, before, moved);
    EXPECT_EQ(FileIdentity::at(tree.path() / "home/d/log.txt"), moves.expected(before));
    EXPECT_NE(FileIdentity::at(tree.path() / "home/d/log.txt"), before);
    ::chmod(moved.c_str(), 0600);
    tree.write("home/c/moved.txt", "appended by another program");
    EXPECT_NE(FileIdentity::at(tree.path() / "home/d/log.txt"), moves.expected(before));
    // And what someone else changed before our look is never taken for the move's own doing.
    const fs::path fourth = linkedPair("home/e/x.bin", "home/f/x.bin", 4096);
    const auto listedFourth = *FileIdentity::at(fourth);
    tree.write("home/e/x.bin", "other");
    const fs::path away = tree.path() / "home/e/away.bin";
    fs::rename(fourth, away);
    moves.moved(listedFourth, listedFourth, away);
    EXPECT_EQ(moves.expected(listedFourth), listedFourth);

    // Another process gives the file a further name between our move of one name and the next: the
    // file now outlives both, so the next name is refused as changed, not moved for nothing.
    const fs::path fifth = linkedPair("home/g/y.bin", "home/h/y.bin", 4096);
    const auto listedFifth = *FileIdentity::at(fifth);
    tree.waitForStatusClockPast(fifth);
    const fs::path gone = tree.path() / "home/g/gone.bin";
    fs::rename(fifth, gone);
    fs::create_directories(tree.path() / "home/i");
    fs::create_hard_link(gone, tree.path() / "home/i/kept.bin");
    moves.moved(listedFifth, listedFifth, gone);
    EXPECT_NE(FileIdentity::at(tree.path() / "home/h/y.bin"), moves.expected(listedFifth));
}
