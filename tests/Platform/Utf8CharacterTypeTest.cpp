#include "Platform/Utf8CharacterType.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

// The eleven categories besides the character type, each set to `locale`.
std::vector<std::string> everyOtherCategory(const std::string& locale) {
    std::vector<std::string> set;
    for (const char* name : {"LC_COLLATE", "LC_MESSAGES", "LC_MONETARY", "LC_NUMERIC", "LC_TIME", "LC_PAPER", "LC_NAME", "LC_ADDRESS",
                             "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"})
        set.push_back(std::string(name) + '=' + locale);
    return set;
}

std::vector<std::string> plus(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

// The character type becomes UTF-8 and every other category reads as it did in the session; a
// locale the system lacks (here "xx_YY.UTF-8", which no system has) would make all of them fail.
TEST(Utf8CharacterType, OnlyTheCharacterTypeChangesAndEveryCategoryLoads) {
    EXPECT_THAT(Utf8CharacterType::applied({}), ElementsAre("LC_CTYPE=C.UTF-8"));
    EXPECT_EQ(Utf8CharacterType::applied({"PATH=/bin", "LC_CTYPE=C", "LC_CTYPE=POSIX", "LC_TIME=POSIX", "LC_CTYPEX=1"}),
              plus({"PATH=/bin", "LC_CTYPEX=1", "LC_TIME=POSIX"}, {"LC_CTYPE=C.UTF-8"}));

    // LANG stands for every category not set apart; the one set apart keeps its own.
    auto expected = everyOtherCategory("C");
    expected[4] = "LC_TIME=POSIX";
    EXPECT_EQ(Utf8CharacterType::applied({"LANG=C", "LC_TIME=POSIX", "LANGUAGE=ar"}),
              plus(plus({"LANG=C", "LANGUAGE=ar"}, expected), {"LC_CTYPE=C.UTF-8"}));

    // LC_ALL overrode every category, also one set apart: it goes, and each category takes its value.
    EXPECT_EQ(Utf8CharacterType::applied({"LANG=C.UTF-8", "LC_ALL=POSIX", "LC_TIME=C", "LC_ALL=C"}),
              plus(plus({"LANG=C.UTF-8"}, everyOtherCategory("POSIX")), {"LC_CTYPE=C.UTF-8"}));
    // An empty LC_ALL is no LC_ALL.
    EXPECT_EQ(Utf8CharacterType::applied({"LC_ALL=", "LC_TIME=POSIX"}), plus({"LC_TIME=POSIX"}, {"LC_CTYPE=C.UTF-8"}));

    // A locale that was never generated: its categories get C.UTF-8, the others keep theirs.
    expected = everyOtherCategory("C.UTF-8");
    expected[1] = "LC_MESSAGES=POSIX";
    EXPECT_EQ(Utf8CharacterType::applied({"LANG=xx_YY.UTF-8", "LC_MESSAGES=POSIX"}),
              plus(plus({"LANG=xx_YY.UTF-8"}, expected), {"LC_CTYPE=C.UTF-8"}));
    EXPECT_EQ(Utf8CharacterType::applied({"LC_ALL=xx_YY.UTF-8"}), plus(everyOtherCategory("C.UTF-8"), {"LC_CTYPE=C.UTF-8"}));
}
