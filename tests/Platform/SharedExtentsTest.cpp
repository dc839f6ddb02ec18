#include "Platform/SharedExtents.h"

#include <cerrno>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A file system's answers, from a list of extents, page by page as the kernel gives them: the
// extents that end after the request's start, as many as the request has room for.
struct FakeMap {
    std::vector<fiemap_extent> extents;
    int requests = 0;

    SharedExtents::Ask ask() {
        return [this](int, fiemap& request) {
            ++requests;
            std::uint32_t mapped = 0;
            for (const fiemap_extent& extent : extents)
                if (extent.fe_logical + extent.fe_length > request.fm_start && mapped < request.fm_extent_count) request.fm_extents[mapped++] = extent;
            request.fm_mapped_extents = mapped;
            return 0;
        };
    }
};

fiemap_extent extent(std::uint64_t logical, std::uint64_t length, std::uint32_t flags) {
    fiemap_extent made{};
    made.fe_logical = logical;
    made.fe_physical = logical + (1 << 30);
    made.fe_length = length;
    made.fe_flags = flags;
    return made;
}

}  // namespace

// Shared extents are summed over every page of the map; a file system that answers nothing, or fails
// part way, or whose map does not move on, tells nothing is shared.
TEST(SharedExtents, SumsTheSharedExtentsOfTheWholeMap) {
    FakeMap map;
    for (std::uint64_t i = 0; i < 300; ++i) map.extents.push_back(extent(i * 8192, 8192, i % 3 == 0 ? FIEMAP_EXTENT_SHARED : 0));
    map.extents.back().fe_flags |= FIEMAP_EXTENT_LAST;
    EXPECT_EQ(SharedExtents(map.ask()).sharedBytes(3), 100 * 8192);
    EXPECT_EQ(map.requests, 3);  // 128 extents a page

    // A shared extent that ends a page: the next page starts where it ends, so it counts once.
    FakeMap boundary;
    for (std::uint64_t i = 0; i < 130; ++i) boundary.extents.push_back(extent(i * 4096, 4096, i == 127 ? FIEMAP_EXTENT_SHARED : 0));
    boundary.extents.back().fe_flags |= FIEMAP_EXTENT_LAST;
    EXPECT_EQ(SharedExtents(boundary.ask()).sharedBytes(3), 4096);

    FakeMap reflinked;
    reflinked.extents = {extent(0, 1 << 20, FIEMAP_EXTENT_SHARED), extent(1 << 20, 4096, FIEMAP_EXTENT_SHARED | FIEMAP_EXTENT_LAST)};
    EXPECT_EQ(SharedExtents(reflinked.ask()).sharedBytes(3), (1 << 20) + 4096);

    FakeMap empty;  // a file of holes, or no blocks yet
    EXPECT_EQ(SharedExtents(empty.ask()).sharedBytes(3), 0);

    // No LAST flag, and an extent of no length: the map ends rather than asking again for ever.
    FakeMap stuck;
    stuck.extents = {extent(0, 4096, FIEMAP_EXTENT_SHARED), extent(4096, 0, FIEMAP_EXTENT_SHARED)};
    EXPECT_EQ(SharedExtents(stuck.ask()).sharedBytes(3), 4096);
    EXPECT_LE(stuck.requests, 2);

    EXPECT_EQ(SharedExtents([](int, fiemap&) { return errno = EOPNOTSUPP, -1; }).sharedBytes(3), 0);
    int calls = 0;
    const SharedExtents failsLater([&](int, fiemap& request) {
        if (calls++ > 0) return errno = EIO, -1;
        request.fm_extents[0] = extent(0, 4096, FIEMAP_EXTENT_SHARED);
        request.fm_mapped_extents = 1;
        return 0;
    });
    EXPECT_EQ(failsLater.sharedBytes(3), 0);
}
