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
