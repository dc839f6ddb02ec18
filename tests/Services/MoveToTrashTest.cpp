#include "Platform/TrashError.h"
#include "Foundation/Cancelled.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class MoveToTrashTest : public ::testing::Test {
protected:
    fs::path trashed(const std::string& name) const { return tree.path() / "home/.local/share/Trash/files" / name; }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    FileIntelligenceService service;
};

}  // namespace

TEST_F(MoveToTrashTest, CountsWhatMovedAndSkipsWhatIsGone) {
    EXPECT_EQ(service.moveToTrash({}).moved.size(), 0u);
    EXPECT_FALSE(fs::exists(tree.path() / "home/.local/share/Trash"));

    auto a = tree.write("home/docs/a.txt", "a");
    auto b = tree.write("home/docs/b.txt", "b");
    fs::create_symlink(tree.path() / "home/nowhere", tree.path() / "home/dangling");
    const TrashResult result = service.moveToTrash({a, tree.path() / "home/missing", b, a, tree.path() / "home/dangling"});
    EXPECT_EQ(result.moved.size(), 2u);
    EXPECT_TRUE(result.changed.empty());
    EXPECT_TRUE(result.failed.empty());
    EXPECT_TRUE(fs::exists(trashed("a.txt")));
    EXPECT_TRUE(fs::exists(trashed("b.txt")));
    EXPECT_FALSE(fs::exists(trashed("a 2.txt")));
    EXPECT_TRUE(fs::is_symlink(tree.path() / "home/dangling"));

    // A second item of the same name never overwrites the first.
    auto again = tree.write("home/other/a.txt", "again");
    EXPECT_EQ(service.moveToTrash({again}).moved.size(), 1u);
    EXPECT_TRUE(fs::exists(trashed("a 2.txt")));
}

// An item the Trash refuses stays, named with its reason, and every other item is still tried.
TEST_F(MoveToTrashTest, AnItemThatCannotMoveNeverStopsTheOthers) {
    auto first = tree.write("home/first.txt", "1");
    auto third = tree.write("home/third.txt", "3");
    auto fifth = tree.write("home/fifth.txt", "5");
    tree.write("home/.local/share/keep.txt", "k");
    service.moveToTrash({tree.write("home/old.txt", "o")});
    // The folder that holds the trash cannot go into it, nor what is already in it.
    const TrashResult result = service.moveToTrash({first, tree.path() / "home/.local", third, trashed("old.txt"), fifth});
    EXPECT_EQ(result.moved.size(), 3u);
    ASSERT_EQ(result.failed.size(), 2u);
    EXPECT_EQ(result.failed[0].item(), tree.path() / "home/.local");
    EXPECT_EQ(result.failed[1].item(), trashed("old.txt"));
    for (const TrashError& failure : result.failed) EXPECT_EQ(failure.reason(), TrashError::Reason::trashFolder);
    EXPECT_TRUE(result.changed.empty());
    for (const char* name : {"first.txt", "third.txt", "fifth.txt", "old.txt"}) EXPECT_TRUE(fs::exists(trashed(name))) << name;
    EXPECT_TRUE(fs::exists(tree.path() / "home/.local/share/keep.txt"));
    EXPECT_FALSE(fs::exists(trashed("old 2.txt")));
}

TEST_F(MoveToTrashTest, StopRequestBeforeTheCallMovesNothing) {
    auto item = tree.write("home/item.txt", "x");
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(service.moveToTrash({item}, stopped.get_token()), Cancelled);
    EXPECT_TRUE(fs::exists(item));
}

// Between the search and the confirmation the files changed under the tool: each item goes only
// while it is the file listed, and a duplicate only while its group's kept copy is still there as
// listed. What changed stays where it is and is named; the rest is moved.
TEST_F(MoveToTrashTest, ItemsMoveOnlyWhileTheyAndTheirKeptCopyAreAsListed) {
    auto listed = [](const fs::path& path) { return *FileIdentity::at(path); };
    // A group whose kept copy was deleted: its last copy must stay.
    auto goneKept = tree.write("home/a/kept", "same");
    auto lastCopy = tree.write("home/a/copy", "same");
    const TrashRequest::Kept goneKeptCopy{goneKept, listed(goneKept)};
    const TrashRequest lastCopyRequest(lastCopy, listed(lastCopy), goneKeptCopy);
    fs::remove(goneKept);
    // A group whose kept copy was edited, and one whose copy was edited.
    auto editedKept = tree.write("home/b/kept", "same");
    auto copyOfEdited = tree.write("home/b/copy", "same");
    const TrashRequest copyOfEditedRequest(copyOfEdited, listed(copyOfEdited), TrashRequest::Kept{editedKept, listed(editedKept)});
    tree.write("home/b/kept", "edited!");
    auto kept = tree.write("home/c/kept", "same");
    auto editedCopy = tree.write("home/c/edited", "same");
    auto plainCopy = tree.write("home/c/plain", "same");
    const TrashRequest::Kept keptCopy{kept, listed(kept)};
    const TrashRequest editedCopyRequest(editedCopy, listed(editedCopy), keptCopy);
    tree.write("home/c/edited", "changed");
    // A forgotten file replaced by a new one of the same name, and one replaced by a link.
    auto replaced = tree.write("home/old/report.pdf", "old");
    auto linked = tree.write("home/old/notes.txt", "old");
    auto untouched = tree.write("home/old/archive.tar", "old");
    fs::last_write_time(replaced, fs::file_time_type::clock::now() - std::chrono::days(400));
    const TrashRequest replacedRequest(replaced, listed(replaced)), linkedRequest(linked, listed(linked));
    fs::remove(replaced);
    tree.write("home/old/report.pdf", "new");  // same length, today's date, perhaps the same inode number
    fs::remove(linked);
    fs::create_symlink(untouched, linked);

    const TrashResult result = service.moveToTrash({lastCopyRequest, copyOfEditedRequest, editedCopyRequest, TrashRequest(plainCopy, listed(plainCopy), keptCopy),
                                                    replacedRequest, linkedRequest, TrashRequest(untouched, listed(untouched))});
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.moved.size(), 2u);
    // A copy left because its kept copy changed names the kept copy.
    EXPECT_EQ(result.changed, (std::vector<fs::path>{goneKept, editedKept, editedCopy, replaced, linked}));
    for (const fs::path& stayed : {lastCopy, copyOfEdited, editedCopy, replaced, kept, editedKept}) EXPECT_TRUE(fs::exists(stayed)) << stayed;
    EXPECT_TRUE(fs::is_symlink(linked));
    EXPECT_EQ(TempTree::read(replaced), "new");
    EXPECT_EQ(TempTree::read(trashed("plain")), "same");
    EXPECT_EQ(TempTree::read(trashed("archive.tar")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.path() / "home/.local/share/Trash/files"), fs::directory_iterator()), 2);
}

// Contents swapped under an old modification time (`touch -r`, or another file renamed into the
// name with the listed file's times) are still a change: the status-change time moved. The tool's
// own moves between the listing and the confirmation change no kept copy, and a folder is the same
// folder however its entries change.
TEST_F(MoveToTrashTest, ContentsSwappedUnderTheOldTimeStayInPlace) {
    auto listed = [](const fs::path& path) { return *FileIdentity::at(path); };
    auto kept = tree.write("home/a/kept", "same");
    auto copy = tree.write("home/a/copy", "same");
    auto secondCopy = tree.write("home/a/copy 2", "same");
    const TrashRequest::Kept keptA{kept, listed(kept)};
    auto keptB = tree.write("home/b/kept", "same");
    auto editedCopy = tree.write("home/b/copy", "same");
    auto keptC = tree.write("home/c/kept", "same");
    auto copyC = tree.write("home/c/copy", "same");
    auto newcomer = tree.write("home/c/newcomer", "SAME");
    auto forgotten = tree.write("home/old/film.mkv", "old film");
    auto keptD = tree.write("home/d/kept", "same");
    auto copyD = tree.write("home/d/copy", "same");
    auto secondCopyD = tree.write("home/d/copy 2", "same");
    const TrashRequest::Kept keptCopyD{keptD, listed(keptD)};
    auto folder = tree.folder("home/cache");
    const std::vector<TrashRequest> requests{{copy, listed(copy), keptA},
                                             {secondCopy, listed(secondCopy), keptA},
                                             {editedCopy, listed(editedCopy), TrashRequest::Kept{keptB, listed(keptB)}},
                                             {copyC, listed(copyC), TrashRequest::Kept{keptC, listed(keptC)}},
                                             {forgotten, listed(forgotten)},
                                             {copyD, listed(copyD), keptCopyD},
                                             {secondCopyD, listed(secondCopyD), keptCopyD},
                                             {folder, listed(folder)}};

    tree.rewriteKeepingTimes(kept, "diff");
    tree.rewriteKeepingTimes(editedCopy, "diff");
    tree.rewriteKeepingTimes(forgotten, "new film");
    // The kept copy renamed away and another of its length and times renamed to its name.
    struct stat keptTimes {};
    ::stat(keptC.c_str(), &keptTimes);
    const struct timespec times[2] = {keptTimes.st_atim, keptTimes.st_mtim};
    ::utimensat(AT_FDCWD, newcomer.c_str(), times, 0);
    tree.waitForStatusClockPast(keptC);
    fs::rename(keptC, tree.path() / "home/c/kept.old");
    fs::rename(newcomer, keptC);
    tree.write("home/cache/new entry", "x");

    const TrashResult result = service.moveToTrash(requests);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.changed, (std::vector<fs::path>{kept, editedCopy, keptC, forgotten}));
    EXPECT_EQ(result.moved.size(), 3u);
    for (const fs::path& stayed : {copy, secondCopy, keptB, copyC, keptD}) EXPECT_EQ(TempTree::read(stayed), "same") << stayed;
    EXPECT_EQ(TempTree::read(kept), "diff");
    EXPECT_EQ(TempTree::read(editedCopy), "diff");
    EXPECT_EQ(TempTree::read(forgotten), "new film");
    EXPECT_EQ(TempTree::read(trashed("copy")), "same");
    EXPECT_EQ(TempTree::read(trashed("copy 2")), "same");
    EXPECT_EQ(TempTree::read(trashed("cache/new entry")), "x");
}
