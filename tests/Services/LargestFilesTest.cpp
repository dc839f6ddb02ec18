#include "Services/LargestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

TEST(LargestFiles, KeepsTheLargestAndRefusesTiesWithTheSmallest) {
    std::vector<std::int64_t> sizes(4001);
    for (size_t i = 0; i < sizes.size(); ++i) sizes[i] = static_cast<std::int64_t>(i + 1) * 10;
    std::shuffle(sizes.begin(), sizes.end(), std::mt19937(7));

    LargestFiles heap(4000);
    for (std::int64_t size : sizes) heap.insert({"/f" + std::to_string(size), size, std::nullopt});
    auto sorted = heap.sortedDescending();
    ASSERT_EQ(sorted.size(), 4000u);
    EXPECT_EQ(sorted.front().size, 40010);
    EXPECT_EQ(sorted.back().size, 20);  // the smallest, 10, fell out
    for (size_t i = 1; i < sorted.size(); ++i) EXPECT_GT(sorted[i - 1].size, sorted[i].size);

    EXPECT_FALSE(heap.admits(20));
    heap.insert({"/tie", 20, std::nullopt});
    EXPECT_EQ(heap.sortedDescending().back().path, "/f20");
    EXPECT_TRUE(heap.admits(21));

    LargestFiles none(0);
    none.insert({"/x", 5, std::nullopt});
    EXPECT_TRUE(none.records().empty());
}
