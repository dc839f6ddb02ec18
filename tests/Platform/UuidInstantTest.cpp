#include "Platform/Instant.h"
#include "Platform/Uuid.h"

#include <gtest/gtest.h>

#include <regex>

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

TEST(Instant, ReferenceDateIs2001) {
    EXPECT_EQ(Instant::fromUnixSeconds(978307200).referenceSeconds(), 0);
    EXPECT_EQ(Instant::fromTimespec(978307201, 500000000).referenceSeconds(), 1.5);
    EXPECT_LT(Instant::fromReferenceSeconds(-1), Instant());
}
