#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <set>

TEST(Uuid, CanonicalUpperCaseTextRoundTrips) {
    Uuid id = Uuid::random();
    std::string text = id.text();
    EXPECT_TRUE(std::regex_match(text, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}"))) << text;
    EXPECT_EQ(Uuid::parse(text), id);
    EXPECT_NE(Uuid::random(), id);
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5"));
    EXPECT_FALSE(Uuid::parse("E621E1F8xC36C-495A-93FC-0C247A3E6E5F"));
    EXPECT_FALSE(Uuid::parse("G621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
}

TEST(Uuid, StaysUniqueAcrossRefillsAndForks) {
    std::set<Uuid> seen;
    for (int i = 0; i < 2000; ++i) {
        Uuid id = Uuid::random();
        EXPECT_EQ(id.bytes()[6] >> 4, 4);
        EXPECT_TRUE(seen.insert(id).second);
    }
    // A forked child and its parent draw from the same buffered bytes unless the child refills.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Uuid id = Uuid::random();
        ssize_t written = ::write(fds[1], id.bytes().data(), id.bytes().size());
        ::_exit(written == 16 ? 0 : 1);
    }
    ::close(fds[1]);
    Uuid parentId = Uuid::random();
    std::array<std::uint8_t, 16> childBytes{};
    EXPECT_EQ(::read(fds[0], childBytes.data(), childBytes.size()), 16);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_NE(childBytes, parentId.bytes());
}

TEST(Instant, ReferenceDateIs2001) {
    EXPECT_EQ(Instant::fromUnixSeconds(978307200).referenceSeconds(), 0);
    EXPECT_EQ(Instant::fromTimespec(978307201, 500000000).referenceSeconds(), 1.5);
    EXPECT_LT(Instant::fromReferenceSeconds(-1), Instant());
}
