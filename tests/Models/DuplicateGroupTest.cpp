#include "Models/DuplicateGroup.h"

#include <gtest/gtest.h>

namespace {

// A copy as listed, with a birth time where the file system keeps one.
ScannedFile copy(const char* path, std::int64_t modified, std::optional<std::int64_t> bornSeconds, std::int64_t bornNanoseconds = 0) {
    FileIdentity identity;
    identity.links = 1;
    if (bornSeconds) identity.born = FileIdentity::BirthTime{*bornSeconds, bornNanoseconds};
    return {Uuid::random(), path, 4096, Instant::fromUnixSeconds(double(modified)), {}, identity};
}

DuplicateGroup ordered(std::vector<ScannedFile> files) {
    DuplicateGroup group{"id", std::move(files), 4096};
    DuplicateGroup::orderCopies(group.files);
    return group;
}

}  // namespace

// `cp -a`, `rsync -a` and file managers keep the date: of the copies of the newest date, the one born
// first is kept and the others ticked. Where the copies of that date cannot be told apart (a birth
// time shared, or one the file system does not keep), the group ticks nothing.
TEST(DuplicateKeptCopy, OfCopiesOfOneDateTheOneBornFirstIsKeptWhereThatIsClear) {
    DuplicateGroup copies = ordered({copy("/Desktop/p.jpg", 500, 900), copy("/Pictures/p.jpg", 500, 100, 5), copy("/old/p.jpg", 400, 50)});
    EXPECT_EQ(copies.files[0].path, "/Pictures/p.jpg");
    EXPECT_EQ(copies.files[1].path, "/Desktop/p.jpg");
    EXPECT_EQ(copies.files[2].path, "/old/p.jpg");
    EXPECT_TRUE(copies.ticksCopies());

    // One nanosecond apart is apart.
    EXPECT_TRUE(ordered({copy("/b", 500, 100, 6), copy("/a", 500, 100, 5)}).ticksCopies());
    EXPECT_EQ(ordered({copy("/b", 500, 100, 6), copy("/a", 500, 100, 5)}).files[0].path, "/a");
    EXPECT_FALSE(ordered({copy("/a", 500, 100, 5), copy("/b", 500, 100, 5)}).ticksCopies());
    EXPECT_FALSE(ordered({copy("/a", 500, 100), copy("/b", 500, std::nullopt)}).ticksCopies());
    EXPECT_FALSE(ordered({copy("/a", 500, std::nullopt), copy("/b", 500, std::nullopt), copy("/c", 400, 1)}).ticksCopies());
    // The newest alone needs no birth time; older copies of one date among themselves do not matter.
    DuplicateGroup newest = ordered({copy("/a", 400, std::nullopt), copy("/b", 500, std::nullopt), copy("/c", 400, std::nullopt)});
    EXPECT_EQ(newest.files[0].path, "/b");
    EXPECT_TRUE(newest.ticksCopies());
}

namespace {

ScannedFile copyModifiedAt(const char* path, std::int64_t modified) { return copy(path, modified, std::nullopt); }

std::vector<std::string> orderedPaths(const DuplicateGroup& group) {
    std::vector<std::string> paths;
    for (const ScannedFile& file : group.files) paths.push_back(file.path.native());
    return paths;
}

}  // namespace

// The original name is kept over one a copy was given, the newer copy too and in a lasting place
// too, on a file or on a folder below the one the copies share; then the lasting place, then the
// newest, as before. A folder every copy lies in marks none of them.
TEST(DuplicateKeptCopy, TheOriginalNameIsKeptOverACopysMark) {
    EXPECT_EQ(orderedPaths(ordered({copyModifiedAt("/h/Pictures/photo (1).jpg", 900), copyModifiedAt("/h/Pictures/photo.jpg", 100)})),
              (std::vector<std::string>{"/h/Pictures/photo.jpg", "/h/Pictures/photo (1).jpg"}));
    EXPECT_EQ(ordered({copyModifiedAt("/h/Documents/Copy of budget.xlsx", 900), copyModifiedAt("/h/Downloads/budget.xlsx", 100)}).files[0].path, "/h/Downloads/budget.xlsx");
    EXPECT_EQ(ordered({copyModifiedAt("/h/Documents/report (copy).odt", 900), copyModifiedAt("/h/Documents/report.odt", 100)}).files[0].path, "/h/Documents/report.odt");
    EXPECT_EQ(ordered({copyModifiedAt("/h/Music/Album (2)/01.flac", 900), copyModifiedAt("/h/Music/Album/01.flac", 100)}).files[0].path, "/h/Music/Album/01.flac");
    EXPECT_EQ(ordered({copyModifiedAt("/h/Music/Old (2)/Album (2)/01.flac", 900), copyModifiedAt("/h/Music/Old (2)/Album/01.flac", 100)}).files[0].path,
              "/h/Music/Old (2)/Album/01.flac");
    // Both marked, or a folder they share marked: the rules before decide.
    EXPECT_EQ(ordered({copyModifiedAt("/h/Pictures/Trip (2)/a.jpg", 100), copyModifiedAt("/h/Pictures/Trip (2)/b/a.jpg", 900)}).files[0].path, "/h/Pictures/Trip (2)/b/a.jpg");
    EXPECT_EQ(ordered({copyModifiedAt("/h/Pictures/a (1).jpg", 100), copyModifiedAt("/h/Pictures/a (2).jpg", 900)}).files[0].path, "/h/Pictures/a (2).jpg");
    // Without a mark, the newest as before.
    EXPECT_EQ(ordered({copyModifiedAt("/h/Pictures/a.jpg", 100), copyModifiedAt("/h/Pictures/b.jpg", 900)}).files[0].path, "/h/Pictures/b.jpg");
    // Of one date, the mark tells the original: the group is ticked.
    DuplicateGroup sameDate = ordered({copy("/h/Pictures/photo (1).jpg", 500, std::nullopt), copy("/h/Pictures/photo.jpg", 500, std::nullopt)});
    EXPECT_EQ(sameDate.files[0].path, "/h/Pictures/photo.jpg");
    EXPECT_TRUE(sameDate.ticksCopies());
    // Whatever order the copies come in, another of the kept copy's kind and date leaves it unclear.
    DuplicateGroup unordered{"id", {copy("/h/a/p.jpg", 500, std::nullopt), copy("/h/a/p (1).jpg", 500, std::nullopt), copy("/h/b/p.jpg", 500, std::nullopt)}, 4096};
    EXPECT_FALSE(unordered.keptCopyIsClear());
    // A copy with another name is still kept first, whatever its name.
    std::vector<ScannedFile> linked{copyModifiedAt("/h/Pictures/photo.jpg", 900), copyModifiedAt("/h/Backup/photo (1).jpg", 100)};
    linked[1].identity->links = 2;
    EXPECT_EQ(ordered(linked).files[0].path, "/h/Backup/photo (1).jpg");
}
