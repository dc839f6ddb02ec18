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
    // Either setting for hidden files reads back as written, even where the buckets suggest the other.
    for (bool hidden : {true, false}) {
        scan.includesHiddenFiles = hidden;
        auto read = ScanHistoryRecord::fromJson(QJsonDocument::fromJson(QJsonDocument(QJsonArray{scan.toJson()}).toJson()).array().first());
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, scan);
    }
    scan.buckets.push_back({"/p/.cache", ".cache", "/p/.cache", 1, 1});
    EXPECT_EQ(ScanHistoryRecord::fromJson(scan.toJson()), scan);
}

// Records stored before the setting for hidden files was kept, and records whose flag is damaged,
// keep every other member; the flag is then told by the buckets, as hidden entries are counted only
// with the setting on, and what is read is written back as a flag the app reads again.
TEST(StoredRecords, AScanRecordWithoutAReadableHiddenFilesFlagKeepsItsDataAndTellsFromItsBuckets) {
    auto legacy = [](const char* root, std::initializer_list<const char*> names, const char* flag = nullptr) {
        QJsonArray buckets;
        for (const char* name : names) {
            const QString path = QString(root) + "/" + name;
            buckets.append(QJsonObject{{"id", path}, {"name", name}, {"path", path}, {"size", 4096}, {"fileCount", 1}});
        }
        QByteArray json = QByteArray(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","date":5.5,"rootPath":")") + root +
                          R"(","totalSize":9,"fileCount":8,"folderCount":7,"buckets":)" + QJsonDocument(buckets).toJson(QJsonDocument::Compact);
        if (flag) json += QByteArray(R"(,"includesHiddenFiles":)") + flag;
        return ScanHistoryRecord::fromJson(parse((json + "}").constData()));
    };
    const auto withHidden = legacy("/home/u", {"Videos", ".cache", "Documents"});
    ASSERT_TRUE(withHidden);
    EXPECT_TRUE(withHidden->includesHiddenFiles);
    EXPECT_EQ(withHidden->id.text(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(withHidden->date, Instant::fromReferenceSeconds(5.5));
    EXPECT_EQ(withHidden->rootPath, "/home/u");
    EXPECT_EQ(withHidden->totalSize, 9);
    EXPECT_EQ(withHidden->fileCount, 8);
    EXPECT_EQ(withHidden->folderCount, 7);
    ASSERT_EQ(withHidden->buckets.size(), 3u);
    EXPECT_EQ(withHidden->buckets[1], (StoredStorageBucket{"/home/u/.cache", ".cache", "/home/u/.cache", 4096, 1}));
    ASSERT_TRUE(legacy("/home/u", {"Videos", "Documents"}));
    EXPECT_FALSE(legacy("/home/u", {"Videos", "Documents"})->includesHiddenFiles);
    EXPECT_FALSE(legacy("/home/u", {})->includesHiddenFiles);
    // A hidden folder chosen as the folder to scan: its entries all have a dot in their path, and
    // only one whose own name begins with a dot tells that hidden files were counted.
    EXPECT_FALSE(legacy("/home/u/.cache", {"mozilla", "pip"})->includesHiddenFiles);
    EXPECT_TRUE(legacy("/home/u/.cache", {"mozilla", ".fontconfig"})->includesHiddenFiles);

    for (const char* damaged : {"\"yes\"", "1", "0", "null", "[]", "{}"}) {
        SCOPED_TRACE(damaged);
        const auto read = legacy("/home/u", {"Videos", ".wine"}, damaged);
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->includesHiddenFiles);
        EXPECT_EQ(read->buckets.size(), 2u);
        EXPECT_EQ(read->totalSize, 9);
        const QJsonObject written = read->toJson();
        EXPECT_TRUE(written.value("includesHiddenFiles").isBool());
        EXPECT_EQ(ScanHistoryRecord::fromJson(written), read);
        EXPECT_FALSE(legacy("/home/u", {"Videos"}, damaged)->includesHiddenFiles);
    }
    // A readable flag holds: a folder without hidden entries may have been scanned with them counted.
    EXPECT_TRUE(legacy("/home/u", {"Videos"}, "true")->includesHiddenFiles);
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
