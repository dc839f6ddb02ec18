#include "Models/DuplicateGroup.h"
#include "Models/ScanHistoryRecord.h"
#include "Models/StorageRecord.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <limits>

namespace {
QJsonValue parse(const char* json) {
    return QJsonDocument::fromJson(QByteArray("[") + json + "]").array().first();
}
}  // namespace

TEST(StoredRecords, RoundTripKeepsEveryFieldExactly) {
    StorageRecord day{Uuid::random(), Instant::fromUnixSeconds(1765000000.123456), std::numeric_limits<std::int64_t>::max(), 9007199254740993};
    QByteArray text = QJsonDocument(QJsonArray{day.toJson()}).toJson();
    EXPECT_EQ(StorageRecord::fromJson(QJsonDocument::fromJson(text).array().first()), day);
    EXPECT_TRUE(text.contains("9223372036854775807"));
    EXPECT_TRUE(text.contains(QByteArray::fromStdString(day.id.text())));

    ScanHistoryRecord scan{Uuid::random(), Instant::fromReferenceSeconds(-12.5), "/home/a b/\"x\"", 10, 2, 1,
                           {{"/p/a", "a", "/p/a", 7, 1}, {"/p/b", "b", "/p/b", 3, 1}}};
    auto read = ScanHistoryRecord::fromJson(QJsonDocument::fromJson(QJsonDocument(QJsonArray{scan.toJson()}).toJson()).array().first());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, scan);
}

TEST(StoredRecords, StrictDecoding) {
    const char* good = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1.5,"used":1,"available":2,"extra":[1]})";
    ASSERT_TRUE(StorageRecord::fromJson(parse(good)));
    EXPECT_EQ(StorageRecord::fromJson(parse(good))->id.text(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1.5,"used":1})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":null,"used":1,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"not-a-uuid","date":1,"used":1,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":1,"used":1.5,"available":2})")));
    EXPECT_FALSE(StorageRecord::fromJson(parse(R"([1,2])")));

    const char* scan = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":0,"rootPath":"/","totalSize":1,"fileCount":1,"folderCount":0)";
    auto withBuckets = [&](const char* rest) { return ScanHistoryRecord::fromJson(parse((std::string(scan) + rest).c_str())); };
    EXPECT_FALSE(withBuckets("}"));
    ASSERT_TRUE(withBuckets(R"(,"buckets":[]})"));
    EXPECT_TRUE(withBuckets(R"(,"buckets":[]})")->buckets.empty());
    EXPECT_FALSE(withBuckets(R"(,"buckets":[{"id":"/a","name":"a","path":"/a","size":1,"fileCount":"1"}]})"));
    EXPECT_FALSE(withBuckets(R"(,"buckets":{}})"));
}

TEST(Records, IdentityAndEquality) {
    ScannedFile a{Uuid::random(), "/x", 1, std::nullopt, "Text"};
    ScannedFile b{Uuid::random(), "/x", 1, std::nullopt, "Text"};
    EXPECT_NE(a, b);
    EXPECT_NE(a.id, Uuid::random());

    DuplicateGroup group{"ab", {a, b}, 5};
    DuplicateGroup reversed{"ab", {b, a}, 5};
    EXPECT_NE(group, reversed);
    EXPECT_EQ(group.wastedBytes(), 5);
    DuplicateGroup huge{"cd", {a, b, a}, std::numeric_limits<std::int64_t>::max() / 2 + 1};
    EXPECT_EQ(huge.wastedBytes(), std::numeric_limits<std::int64_t>::max());
}
