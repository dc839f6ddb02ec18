#include "Views/Storage/BucketListing.h"
#include "Views/Storage/BucketOrder.h"
#include "Views/Storage/ScanThroughputSampler.h"

#include "ViewSupport/StorageFixtures.h"

#include <gtest/gtest.h>

using StorageFixtures::bucket;

namespace {

std::vector<std::string> names(const std::vector<const StorageBucket*>& buckets) {
    std::vector<std::string> result;
    for (const StorageBucket* b : buckets) result.push_back(std::string(b->name()));
    return result;
}

}  // namespace

TEST(BucketListing, FilterIsCaseInsensitiveAndUntrimmed) {
    const std::vector<StorageBucket> all{bucket("Movies", 5), bucket("my music", 4), bucket("Photos", 3),
                                         bucket("\xff\xfe raw", 1)};
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "", FolderSort::size)).size(), 4u);
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "MOV", FolderSort::size)), std::vector<std::string>{"Movies"});
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, " ", FolderSort::size)),
              (std::vector<std::string>{"my music", "\xff\xfe raw"}));
    EXPECT_TRUE(BucketListing::visibleBuckets(all, "zzz", FolderSort::size).empty());
}

TEST(BucketListing, NaturalNameOrderAndStableSorts) {
    // In the snapshot's order: largest first.
    const std::vector<StorageBucket> all{bucket("shot 2", 9, 7), bucket("Beta", 9, 1), bucket("Alpha", 5, 9),
                                         bucket("Shot 10", 1, 7)};
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "", FolderSort::name)),
              (std::vector<std::string>{"Alpha", "Beta", "shot 2", "Shot 10"}));
    // Equal file counts keep the snapshot's order.
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "", FolderSort::size)),
              (std::vector<std::string>{"shot 2", "Beta", "Alpha", "Shot 10"}));
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "", FolderSort::items)),
              (std::vector<std::string>{"Alpha", "shot 2", "Shot 10", "Beta"}));
    // Only as many as asked for are put in order; the rest keep the snapshot's.
    EXPECT_EQ(names(BucketListing::visibleBuckets(all, "", FolderSort::name, 2)),
              (std::vector<std::string>{"Alpha", "Beta", "shot 2", "Shot 10"}));
    const std::vector<StorageBucket> late{bucket("d", 4), bucket("c", 3), bucket("b", 2), bucket("a", 1)};
    EXPECT_EQ(names(BucketListing::visibleBuckets(late, "", FolderSort::name, 1)), (std::vector<std::string>{"a", "d", "c", "b"}));
    // The few largest of a list in any order (the treemap's), stable, without copying it.
    const std::vector<StorageBucket> unsorted{bucket("a", 1), bucket("b", 9), bucket("c", 5), bucket("d", 9)};
    EXPECT_EQ(names(BucketOrder::top(StorageFixtures::pointersTo(unsorted), 3)), (std::vector<std::string>{"b", "d", "c"}));
    EXPECT_EQ(names(BucketOrder::top(StorageFixtures::pointersTo(unsorted), 10)).size(), 4u);
}

TEST(BucketListing, SelectedBucketFallsBackToTheLargest) {
    const std::vector<StorageBucket> all{bucket("b", 9), bucket("c", 9), bucket("a", 5)};
    EXPECT_EQ(BucketListing::selectedBucket(all, std::nullopt)->name(), "b");
    EXPECT_EQ(BucketListing::selectedBucket(all, std::string("/home/ana/c"))->name(), "c");
    EXPECT_EQ(BucketListing::selectedBucket(all, std::string("/elsewhere"))->name(), "b");
    EXPECT_FALSE(BucketListing::selectedBucket({}, std::string("/home/ana/a")).has_value());
}

TEST(ScanThroughputSampler, SamplesAreClampedAndCapped) {
    ScanThroughputSampler sampler;
    EXPECT_EQ(sampler.speed(), 0u);
    sampler.begin(1000);
    sampler.sample(5000);
    EXPECT_EQ(sampler.samples().back(), 4000);
    EXPECT_EQ(sampler.speed(), 10000u);
    sampler.sample(100);  // a restarted scan drops the count
    EXPECT_EQ(sampler.samples().back(), 0);
    EXPECT_EQ(sampler.speed(), 0u);
    for (int i = 0; i < 121; ++i) sampler.sample(100 + (i + 1) * 10);
    EXPECT_EQ(sampler.samples().size(), 120u);
    EXPECT_EQ(sampler.samples().front(), 10);
    sampler.begin(0);
    EXPECT_TRUE(sampler.samples().empty());
    sampler.begin(std::numeric_limits<std::int64_t>::min());
    sampler.sample(std::numeric_limits<std::int64_t>::max());
    EXPECT_GT(sampler.speed(), 0u);
}
