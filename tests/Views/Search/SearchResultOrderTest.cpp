#include "Views/Search/SearchResultOrder.h"

#include "Models/DisplayText.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

SearchHit hit(const char* path, std::int64_t size, std::optional<double> unixSeconds = std::nullopt, QString kind = {}) {
    SearchHit found;
    found.path = path;
    found.size = size;
    if (unixSeconds) found.modifiedAt = Instant::fromUnixSeconds(*unixSeconds);
    found.kind = kind;
    return found;
}

std::vector<std::string> paths(const std::vector<SearchHit>& hits) {
    std::vector<std::string> result;
    for (const SearchHit& each : hits) result.push_back(each.path);
    return result;
}

}  // namespace

TEST(SearchResultOrder, EqualKeysKeepTheServicesOrder) {
    const std::vector<SearchHit> hits{hit("/x/empty-a", 0), hit("/x/five", 5), hit("/x/empty-b", 0)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(hits, SearchSort::size)), (std::vector<std::string>{"/x/five", "/x/empty-a", "/x/empty-b"}));

    // Names: case ignored, digits by value, equal names in the service's order.
    const std::vector<SearchHit> named{hit("/1/file10", 1), hit("/2/File2", 1), hit("/3/file2", 1), hit("/4/Ábc", 1), hit("/5/abd", 1),
                                       hit("/6/file02", 1)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(named, SearchSort::name)),
              (std::vector<std::string>{"/4/Ábc", "/5/abd", "/2/File2", "/3/file2", "/6/file02", "/1/file10"}));

    // Dates: newest first, undated last in the service's order.
    const std::vector<SearchHit> dated{hit("/u1", 1), hit("/old", 1, 1'600'000'000), hit("/u2", 1), hit("/new", 1, 1'700'000'000),
                                       hit("/same", 1, 1'700'000'000)};
    EXPECT_EQ(paths(SearchResultOrder::sorted(dated, SearchSort::modified)), (std::vector<std::string>{"/new", "/same", "/old", "/u1", "/u2"}));
}

TEST(SearchResultOrder, HelpHasThePathThenWhatIsKnown) {
    EXPECT_EQ(SearchResultOrder::help(hit("/home/a/<b>x</b>\nline", 1)), DisplayText::path(QStringLiteral("/home/a/<b>x</b>\nline")));
    const QString full = SearchResultOrder::help(hit("/home/a/r.pdf", 1, 1'796'472'000, "PDF document"));  // noon, 5 Dec 2026
    const QStringList lines = full.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], DisplayText::path(QStringLiteral("/home/a/r.pdf")));
    EXPECT_EQ(lines[1], "PDF document");
    EXPECT_TRUE(lines[2].contains("2026")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("5")) << lines[2].toStdString();
}
