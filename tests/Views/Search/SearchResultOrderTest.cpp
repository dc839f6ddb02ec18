#include "Views/Search/SearchResultOrder.h"

#include "Models/DisplayText.h"
#include "ViewSupport/SearchHits.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> paths(const std::vector<SearchHit>& hits) {
    std::vector<std::string> result;
    for (const SearchHit& each : hits) result.push_back(each.path);
    return result;
}

}  // namespace

TEST(SearchResultOrder, EqualKeysKeepTheServicesOrder) {
    const std::vector<SearchHit> hits{searchHit("/x/empty-a", 0), searchHit("/x/five", 5), searchHit("/x/empty-b", 0)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(hits, SearchSort::size)), (std::vector<std::string>{"/x/five", "/x/empty-a", "/x/empty-b"}));

    // Names: case ignored, digits by value, equal names in the service's order.
    const std::vector<SearchHit> named{searchHit("/1/file10", 1), searchHit("/2/File2", 1), searchHit("/3/file2", 1), searchHit("/4/Ábc", 1), searchHit("/5/abd", 1),
                                       searchHit("/6/file02", 1)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(named, SearchSort::name)),
              (std::vector<std::string>{"/4/Ábc", "/5/abd", "/2/File2", "/3/file2", "/6/file02", "/1/file10"}));

    // Dates: newest first, undated last in the service's order.
    const std::vector<SearchHit> dated{searchHit("/u1", 1), searchHit("/old", 1, 1'600'000'000), searchHit("/u2", 1), searchHit("/new", 1, 1'700'000'000),
                                       searchHit("/same", 1, 1'700'000'000)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(dated, SearchSort::modified)), (std::vector<std::string>{"/new", "/same", "/old", "/u1", "/u2"}));
}

TEST(SearchResultOrder, HelpHasThePathThenWhatIsKnown) {
    EXPECT_EQ(SearchResultOrder::help(searchHit("/home/a/<b>x</b>\nline", 1)), DisplayText::path(QStringLiteral("/home/a/<b>x</b>\nline")));
    const QString full = SearchResultOrder::help(searchHit("/home/a/r.pdf", 1, 1'796'472'000, "PDF document"));  // noon, 5 Dec 2026
    const QStringList lines = full.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], DisplayText::path(QStringLiteral("/home/a/r.pdf")));
    EXPECT_EQ(lines[1], "PDF document");
    EXPECT_TRUE(lines[2].contains("2026")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("5")) << lines[2].toStdString();
}
