#include "Foundation/SaturatingSum.h"

#include <gtest/gtest.h>

TEST(SaturatingSum, StopsAtTheLargestValueAndIgnoresNonPositiveAddends) {
    constexpr std::int64_t largest = INT64_MAX;
    static_assert(saturatingSum(2, 3) == 5);
    EXPECT_EQ(saturatingSum(7, 0), 7);
    EXPECT_EQ(saturatingSum(7, -9), 7);
    EXPECT_EQ(saturatingSum(-4, 0), 0);
    EXPECT_EQ(saturatingSum(-4, 5), 5);
    EXPECT_EQ(saturatingSum(largest - 1, 1), largest);
    EXPECT_EQ(saturatingSum(largest - 1, 2), largest);
    EXPECT_EQ(saturatingSum(largest, largest), largest);
}
