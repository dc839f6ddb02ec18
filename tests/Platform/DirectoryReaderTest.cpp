#include "Platform/DirectoryReader.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace {

std::vector<DirectoryEntry> listing(const std::filesystem::path& path, bool* ok = nullptr) {
    std::vector<DirectoryEntry> entries;
    bool result = DirectoryReader::read(path.native(), entries);
    if (ok) *ok = result;
    return entries;
}

const DirectoryEntry& named(const std::vector<DirectoryEntry>& entries, const std::string& name) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.name == name; });
    if (found == entries.end()) throw std::runtime_error("no entry " + name);
    return *found;
}

}  // namespace

TEST(DirectoryReader, ListsKindsSizesAndDatesWithoutFollowingLinks) {
    TempTree tree;
    auto file = tree.file("data.bin", 10000);
    tree.folder("folder/inner");
    tree.file(".hidden", 3);
    std::filesystem::create_symlink("folder", tree.path() / "link");
    std::filesystem::create_symlink("missing", tree.path() / "dangling");
    const std::string oddName = "bad\xff\n-name \"q\"";
    tree.file(oddName, 1);

    bool ok = false;
    auto entries = listing(tree.path(), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(entries.size(), 6u);  // "." and ".." are not listed

    struct stat status;
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    const auto& data = named(entries, "data.bin");
    EXPECT_EQ(data.type, DirectoryEntry::Kind::file);
    EXPECT_EQ(data.allocatedSize, static_cast<std::int64_t>(status.st_blocks) * 512);
    EXPECT_GT(data.allocatedSize, 0);
    EXPECT_EQ(data.logicalSize, 10000);
    ASSERT_TRUE(data.modified);
    EXPECT_EQ(*data.modified, Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec));

    const auto& folder = named(entries, "folder");
    EXPECT_EQ(folder.type, DirectoryEntry::Kind::directory);
    EXPECT_EQ(folder.allocatedSize, 0);
    EXPECT_EQ(folder.logicalSize, 0);

    EXPECT_EQ(named(entries, ".hidden").type, DirectoryEntry::Kind::file);
    EXPECT_EQ(named(entries, "link").type, DirectoryEntry::Kind::other);
    EXPECT_EQ(named(entries, "link").allocatedSize, 0);
    EXPECT_EQ(named(entries, "dangling").type, DirectoryEntry::Kind::other);
    EXPECT_EQ(named(entries, oddName).logicalSize, 1);
}

TEST(DirectoryReader, FailsForWhatIsNotAReadableDirectory) {
    TempTree tree;
    tree.folder("real");
    tree.file("plain", 5);
    std::filesystem::create_symlink("real", tree.path() / "link");

    std::vector<DirectoryEntry> entries;
    EXPECT_FALSE(DirectoryReader::read((tree.path() / "plain").native(), entries));
    EXPECT_FALSE(DirectoryReader::read((tree.path() / "link").native(), entries));
    EXPECT_FALSE(DirectoryReader::read((tree.path() / "missing").native(), entries));
    EXPECT_FALSE(DirectoryReader::read("", entries));
    EXPECT_TRUE(entries.empty());

    EXPECT_TRUE(DirectoryReader::read((tree.path() / "real").native(), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(DirectoryReader, AppendsWithoutClearingAndReadsPastOneBuffer) {
    TempTree tree;
    // 264 bytes a record: at most 993 fit in one 256 KiB read.
    const std::string padding(236, 'n');
    for (int i = 0; i < 1200; ++i) tree.file("many/" + padding + std::to_string(10000 + i));
    tree.file("few/a");

    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(DirectoryReader::read((tree.path() / "many").native(), entries));
    ASSERT_EQ(entries.size(), 1200u);
    std::set<std::string> names;
    for (const auto& entry : entries) names.insert(entry.name);
    EXPECT_EQ(names.size(), 1200u);

    ASSERT_TRUE(DirectoryReader::read((tree.path() / "few").native(), entries));
    ASSERT_EQ(entries.size(), 1201u);
    EXPECT_EQ(entries.back().name, "a");
}

// A wide folder: status split across threads and the listing handed over in batches gives the
// same entries as one thread reading it whole.
TEST(DirectoryReader, AWideFolderIsReadInBatchesByManyThreads) {
    TempTree tree;
    const int count = 5000;
    const std::string padding(236, 'n');  // about 990 names a read: five reads
    for (int i = 0; i < count; ++i) {
        const std::string name = (tree.path() / (padding + std::to_string(i))).native();
        FILE* file = std::fopen(name.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(std::string(std::size_t(i % 7), 'x').c_str(), file);
        std::fclose(file);
    }
    tree.folder("sub");

    auto summary = [](const std::vector<DirectoryEntry>& entries) {
        std::map<std::string, std::int64_t> sizes;
        for (const auto& entry : entries) sizes[entry.name] = entry.type == DirectoryEntry::Kind::file ? entry.logicalSize : -1;
        return sizes;
    };
    std::vector<DirectoryEntry> whole;
    ASSERT_TRUE(DirectoryReader::read(tree.path().native(), whole));
    ASSERT_EQ(whole.size(), std::size_t(count + 1));

    std::vector<DirectoryEntry> handed;
    std::vector<std::size_t> batches;
    std::vector<DirectoryEntry> rest;
    ASSERT_TRUE(DirectoryReader::read(
        tree.path().native(), rest,
        [&](std::vector<DirectoryEntry>& batch) {
            batches.push_back(batch.size());
            std::move(batch.begin(), batch.end(), std::back_inserter(handed));
            batch.clear();
        },
        8));
    EXPECT_FALSE(batches.empty());
    for (std::size_t size : batches) EXPECT_LT(size, std::size_t(count));
    std::move(rest.begin(), rest.end(), std::back_inserter(handed));
    EXPECT_EQ(summary(handed), summary(whole));
    EXPECT_EQ(summary(whole)[padding + "12"], 5);
    EXPECT_EQ(summary(whole)["sub"], -1);
}
