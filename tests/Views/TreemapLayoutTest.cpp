#include "Views/Storage/TreemapLayout.h"

#include "ViewSupport/StorageFixtures.h"

#include <gtest/gtest.h>

#include <random>

using StorageFixtures::bucket;

namespace {

void expectRect(const QRectF& actual, double x, double y, double w, double h) {
    EXPECT_NEAR(actual.x(), x, 1e-9);
    EXPECT_NEAR(actual.y(), y, 1e-9);
    EXPECT_NEAR(actual.width(), w, 1e-9);
    EXPECT_NEAR(actual.height(), h, 1e-9);
}

}  // namespace

TEST(TreemapLayout, DegenerateInputsGiveNothing) {
    EXPECT_TRUE(TreemapLayout::rectangles({}, QRectF(0, 0, 100, 100)).empty());
    const std::vector<StorageBucket> one{bucket("a", 10)};
    EXPECT_TRUE(TreemapLayout::rectangles(one, QRectF(0, 0, 0, 100)).empty());
    EXPECT_TRUE(TreemapLayout::rectangles(one, QRectF(0, 0, 100, 0)).empty());
    EXPECT_TRUE(TreemapLayout::rectangles(one, QRectF(0, 0, -5, 100)).empty());
    EXPECT_TRUE(TreemapLayout::rectangles(one, QRectF(0, 0, 100, std::nan(""))).empty());
}

TEST(TreemapLayout, DocumentedExamples) {
    auto two = TreemapLayout::rectangles({bucket("a", 7), bucket("b", 7)}, QRectF(0, 0, 200, 100));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].item.name(), "a");
    expectRect(two[0].rect, 0, 0, 100, 100);
    expectRect(two[1].rect, 100, 0, 100, 100);

    // Zero sizes weigh one byte each; equal sizes keep their input order.
    auto four = TreemapLayout::rectangles({bucket("a", 0), bucket("b", 0), bucket("c", 0), bucket("d", 0)},
                                          QRectF(0, 0, 100, 100));
    ASSERT_EQ(four.size(), 4u);
    EXPECT_EQ(four[0].item.name(), "a");
    EXPECT_EQ(four[3].item.name(), "d");
    expectRect(four[0].rect, 0, 0, 50, 50);
    expectRect(four[1].rect, 0, 50, 50, 50);
    expectRect(four[2].rect, 50, 0, 50, 50);
    expectRect(four[3].rect, 50, 50, 50, 50);

    // In a square the first strip is a column against the left edge spanning the full height.
    auto square = TreemapLayout::rectangles({bucket("a", 3), bucket("b", 1)}, QRectF(0, 0, 100, 100));
    expectRect(square[0].rect, 0, 0, 75, 100);
    expectRect(square[1].rect, 75, 0, 25, 100);
}

TEST(TreemapLayout, SortsItselfAndWeighsNonPositiveSizesAsOneByte) {
    auto entries = TreemapLayout::rectangles({bucket("small", 1), bucket("neg", -40), bucket("big", 2), bucket("zero", 0)},
                                             QRectF(0, 0, 50, 10));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].item.name(), "big");
    EXPECT_EQ(entries[1].item.name(), "small");
    EXPECT_EQ(entries[2].item.name(), "zero");
    EXPECT_EQ(entries[3].item.name(), "neg");
    const double unit = 500.0 / 5;
    EXPECT_NEAR(entries[0].rect.width() * entries[0].rect.height(), 2 * unit, 1e-9);
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(entries[i].rect.width() * entries[i].rect.height(), unit, 1e-9);
}

// Every rectangle lies inside, none overlap, together they cover the area, and areas follow sizes,
// wherever the area's origin is; the first round is a single bucket, which fills it.
TEST(TreemapLayout, PropertyInsideDisjointProportional) {
    std::mt19937_64 random(1234);
    for (int round = 0; round < 400; ++round) {
        const int count = round == 0 ? 1 : 1 + int(random() % 40);
        std::vector<StorageBucket> items;
        double total = 0;
        for (int i = 0; i < count; ++i) {
            std::int64_t size = std::int64_t(random() % 5 == 0 ? random() % 3 : random() % 1'000'000'000);
            if (random() % 13 == 0) size = -size;
            items.push_back(bucket(std::to_string(i), size));
            total += double(std::max<std::int64_t>(size, 1));
        }
        const QRectF area(double(random() % 50), double(random() % 50), 1 + double(random() % 1000),
                          1 + double(random() % 700));
        auto entries = TreemapLayout::rectangles(items, area);
        ASSERT_EQ(entries.size(), items.size());
        const double eps = 1e-6 * (area.width() + area.height());
        double covered = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QRectF& r = entries[i].rect;
            EXPECT_GE(r.width(), -eps);
            EXPECT_GE(r.height(), -eps);
            EXPECT_GE(r.left(), area.left() - eps);
            EXPECT_GE(r.top(), area.top() - eps);
            EXPECT_LE(r.right(), area.right() + eps);
            EXPECT_LE(r.bottom(), area.bottom() + eps);
            const double weight = double(std::max<std::int64_t>(entries[i].item.size, 1));
            EXPECT_NEAR(r.width() * r.height(), area.width() * area.height() * weight / total,
                        1e-6 * area.width() * area.height());
            covered += r.width() * r.height();
            if (i > 0) {
                EXPECT_GE(entries[i - 1].item.size, entries[i].item.size);
            }
            for (std::size_t j = 0; j < i; ++j) {
                const QRectF overlap = r.intersected(entries[j].rect);
                EXPECT_LE(overlap.width() * overlap.height(), 1e-6 * area.width() * area.height());
            }
        }
        EXPECT_NEAR(covered, area.width() * area.height(), 1e-6 * area.width() * area.height());
    }
}
