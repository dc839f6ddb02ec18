#include "Platform/DirectoryReader.h"
#include "Foundation/Cancelled.h"
#include "Models/DisplayText.h"
#include "Services/DiskScanner.h"
#include "Services/ParallelWalk.h"
#include "Services/ScanError.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

bool isHiddenName(const fs::path& path) { return path.filename().native().starts_with('.'); }

struct Totals {
    std::int64_t size = 0;
    std::int64_t files = 0;
    std::int64_t folders = 0;
    bool operator==(const Totals&) const = default;
};

using Inodes = std::set<std::pair<dev_t, ino_t>>;

std::vector<fs::directory_entry> sortedEntries(const fs::path& path) {
    std::vector<fs::directory_entry> entries{fs::directory_iterator(path), fs::directory_iterator()};
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Counts a file as du does: once, at the first of its names met in `seen`.
void addFile(const fs::path& file, Inodes& seen, Totals& totals) {
    struct stat status {};
    ::lstat(file.c_str(), &status);
    if (!seen.insert({status.st_dev, status.st_ino}).second) return;
    totals.size += TempTree::allocatedSize(file);
    totals.files += 1;
}

// An independent count with lstat: what a scan must find below `path`.
Totals reference(const fs::path& path, bool includeHidden, Inodes& seen) {
    Totals totals;
    for (const auto& entry : sortedEntries(path)) {
        if (!includeHidden && isHiddenName(entry.path())) continue;
        if (entry.is_symlink()) continue;
        if (entry.is_directory()) {
            Totals inner = reference(entry.path(), includeHidden, seen);
            totals.size += inner.size;
            totals.files += inner.files;
            totals.folders += inner.folders + 1;
        } else if (entry.is_regular_file()) {
            addFile(entry.path(), seen, totals);
        }
    }
    return totals;
}

Totals reference(const fs::path& path, bool includeHidden) {
    Inodes seen;
    return reference(path, includeHidden, seen);
}

// What each top-level entry must hold: its files not met in an entry before it in sorted order.
std::map<std::string, Totals> referenceBuckets(const fs::path& path, bool includeHidden = true) {
    std::map<std::string, Totals> buckets;
    Inodes seen;
    for (const auto& entry : sortedEntries(path)) {
        if (entry.is_symlink() || (!includeHidden && isHiddenName(entry.path()))) continue;
        Totals& bucket = buckets[entry.path().filename()];
        if (entry.is_directory()) {
            bucket = reference(entry.path(), includeHidden, seen);
            bucket.folders = 0;  // buckets count none
        } else {
            addFile(entry.path(), seen, bucket);
        }
    }
    return buckets;
}

std::map<std::string, Totals> bucketTotals(const ScanSnapshot& snapshot) {
    std::map<std::string, Totals> buckets;
    for (const auto& bucket : snapshot.buckets) buckets[std::string(bucket.name())] = {bucket.size, bucket.fileCount, 0};
    return buckets;
}

const StorageBucket* bucketNamed(const ScanSnapshot& snapshot, const std::string& name) {
    for (const auto& bucket : snapshot.buckets)
        if (bucket.name() == name) return &bucket;
    return nullptr;
}

// Several levels and many folders, so that all workers take part and their totals must merge.
void makeMixedTree(const TempTree& tree) {
    for (int top = 0; top < 6; ++top)
        for (int middle = 0; middle < 8; ++middle)
            for (int file = 0; file < 4; ++file)
                tree.file("top" + std::to_string(top) + "/m" + std::to_string(middle) + "/deep/f" + std::to_string(file) + ".PNG",
                          static_cast<size_t>(1 + 4096 * ((top * 7 + middle * 3 + file) % 11)));
    tree.file("loose.bin", 50000);
    tree.file("top0/.hidden-file", 9000);
    tree.file(".hidden-folder/inside.txt", 70000);
    tree.file("top1/.cache/inside.txt", 70000);
    fs::create_symlink("top0", tree.path() / "link-to-top0");
    fs::create_symlink("..", tree.path() / "top2/link-up");
    fs::create_symlink(tree.path() / "loose.bin", tree.path() / "top3/link-to-file");
    fs::create_hard_link(tree.path() / "loose.bin", tree.path() / "top4/hard-link.bin");
}

}  // namespace

TEST(DiskScanner, CountsEveryFileOnceWithoutFollowingLinks) {
    TempTree tree;
    makeMixedTree(tree);
    tree.file("top5/empty-folder/.keep");

    for (bool includeHidden : {false, true}) {
        SCOPED_TRACE(includeHidden);
        ScanSnapshot snapshot = DiskScanner().scan(tree.path(), includeHidden, nullptr);
        Totals expected = reference(tree.path(), includeHidden);

        EXPECT_EQ(snapshot.rootPath, tree.path());
        EXPECT_EQ(snapshot.totalSize, expected.size);
        EXPECT_EQ(snapshot.fileCount, expected.files);
        EXPECT_EQ(snapshot.folderCount, expected.folders);
        EXPECT_EQ(snapshot.inaccessibleCount, 0);
        EXPECT_GE(snapshot.duration, 0);
        EXPECT_EQ(snapshot.includesHiddenFiles, includeHidden);  // what the history compares by

        // One bucket per counted top-level entry; no bucket for the link.
        EXPECT_EQ(snapshot.buckets.size(), includeHidden ? 8u : 7u);
        EXPECT_EQ(bucketNamed(snapshot, "link-to-top0"), nullptr);
        EXPECT_EQ(bucketNamed(snapshot, ".hidden-folder") != nullptr, includeHidden);
        for (const auto& bucket : snapshot.buckets) EXPECT_EQ(bucket.path, (tree.path() / bucket.name()).native());
        EXPECT_EQ(bucketTotals(snapshot), referenceBuckets(tree.path(), includeHidden));
        for (size_t i = 1; i < snapshot.buckets.size(); ++i) EXPECT_GE(snapshot.buckets[i - 1].size, snapshot.buckets[i].size);

        // The hard-linked file counts under its first name, loose.bin, and is listed once.
        const StorageBucket* top4 = bucketNamed(snapshot, "top4");
        ASSERT_TRUE(top4);
        EXPECT_EQ(top4->fileCount, 32);
        int loose = 0;
        for (const auto& file : snapshot.largestFiles)
            if (file.size == TempTree::allocatedSize(tree.path() / "loose.bin") && file.kind == "BIN") ++loose;
        EXPECT_EQ(loose, 1);

        ASSERT_EQ(static_cast<std::int64_t>(snapshot.largestFiles.size()), snapshot.fileCount);
        for (size_t i = 1; i < snapshot.largestFiles.size(); ++i)
            EXPECT_GE(snapshot.largestFiles[i - 1].size, snapshot.largestFiles[i].size);
        for (const auto& file : snapshot.largestFiles) {
            EXPECT_TRUE(file.path.native().starts_with(tree.path().native() + "/"));
            EXPECT_EQ(file.size, TempTree::allocatedSize(file.path));
            EXPECT_TRUE(file.modifiedAt.has_value());
        }
    }
}

namespace {

// Hard links every file of `from` under `to`, as `cp -al` makes a backup rotation.
void linkCopy(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / fs::relative(entry.path(), from);
        if (entry.is_directory()) fs::create_directories(target);
        else fs::create_hard_link(entry.path(), target);
    }
}

}  // namespace

// Three rotations made with rsync then cp -al beside the live folder, which the scan does not see:
// the total is du's, the first rotation in sorted order holds every file it shares, the others what
// they add, and the largest files list each file once, under a name in the folder it counts in.
TEST(DiskScanner, AFileWithSeveralNamesCountsOnceUnderItsFirstName) {
    TempTree tree;
    for (int i = 0; i < 12; ++i) tree.file("live/d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".jpg", 4096 * (i + 1));
    const fs::path live = tree.path() / "live";
    const fs::path backups = tree.path() / "Backups";
    for (int rotation = 2; rotation >= 0; --rotation) {
        linkCopy(live, backups / ("daily." + std::to_string(rotation)));
        fs::remove(live / "d0/f0.jpg");  // rsync writes a changed file anew
        tree.file("live/d0/f0.jpg", 70000 + 4096 * rotation);
        tree.file("live/new" + std::to_string(rotation) + ".txt", 9000);
    }
    tree.file("Backups/notes.txt", 20000);
    fs::create_hard_link(backups / "notes.txt", backups / "notes-link.txt");

    ScanSnapshot snapshot = DiskScanner().scan(backups, false, nullptr);
    EXPECT_EQ((Totals{snapshot.totalSize, snapshot.fileCount, snapshot.folderCount}), reference(backups, false));
    const std::map<std::string, Totals> buckets = bucketTotals(snapshot);
    EXPECT_EQ(buckets, referenceBuckets(backups, false));
    EXPECT_EQ(buckets.at("daily.1"), (Totals{TempTree::allocatedSize(backups / "daily.1/d0/f0.jpg"), 1, 0}));

    ASSERT_EQ(static_cast<std::int64_t>(snapshot.largestFiles.size()), snapshot.fileCount);
    Inodes listed;
    for (const auto& file : snapshot.largestFiles) {
        Totals counted;
        addFile(file.path, listed, counted);
        EXPECT_EQ(counted.files, 1) << file.path;
        EXPECT_GT(buckets.at(fs::relative(file.path, backups).begin()->native()).files, 0) << file.path;
    }

    // A rotation alone counts in full, its other names lying outside, as du -s counts it.
    ScanSnapshot alone = DiskScanner().scan(backups / "daily.1", false, nullptr);
    EXPECT_EQ(alone.totalSize, reference(backups / "daily.1", false).size);
    EXPECT_EQ(alone.fileCount, 13);
}

// Names of one file spread over many folders and met by whichever worker comes first: each
// folder's size is the same in every scan, however the workers are held up.
TEST(DiskScanner, FolderSizesDoNotDependOnWhichWorkerMeetsANameFirst) {
    TempTree tree;
    constexpr int folders = 8;
    for (int file = 0; file < 240; ++file) {
        const fs::path first = tree.file("f" + std::to_string(file % folders) + "/s" + std::to_string(file % 5) + "/x" + std::to_string(file), 4096 * (1 + file % 7));
        for (int name = 1; name <= 1 + file % 3; ++name) {
            const int folder = (file * 5 + name * 3) % folders;
            const fs::path other = tree.folder("f" + std::to_string(folder) + "/s" + std::to_string((file + name) % 5)) / ("y" + std::to_string(file) + "-" + std::to_string(name));
            fs::create_hard_link(first, other);
        }
    }
    const std::map<std::string, Totals> expected = referenceBuckets(tree.path());
    for (int held = 0; held < folders; ++held) {
        SCOPED_TRACE(held);
        // One folder's directories wait a moment each, so that the others' names are met first.
        const std::string slow = (tree.path() / ("f" + std::to_string(held))).native() + "/";
        DiskScanner scanner(std::chrono::milliseconds(120), [&](const std::string& directory) {
            if (directory.starts_with(slow)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
        ScanSnapshot snapshot = scanner.scan(tree.path(), false, nullptr);
        EXPECT_EQ(bucketTotals(snapshot), expected);
        EXPECT_EQ(snapshot.fileCount, 240);
    }
}

// A file's first name goes by the names of the top-level entries, not by whole paths: "a/b" comes
// before "a b/z", "a-b/x", "a.b/y" and "a-c", which all sort before it byte by byte as paths, and a
// top-level file "a-d" before "a.b/u". The same in every scan, whichever folder is read last.
TEST(DiskScanner, AFileWithSeveralNamesCountsUnderTheFirstTopLevelName) {
    TempTree tree;
    const fs::path first = tree.file("a/b", 40960);
    const fs::path second = tree.file("a.b/u", 8192);
    for (const char* folder : {"a b", "a-b"}) tree.folder(folder);
    for (const char* name : {"a b/z", "a-b/x", "a.b/y", "a-c"}) fs::create_hard_link(first, tree.path() / name);
    fs::create_hard_link(second, tree.path() / "a-d");
    const std::map<std::string, Totals> expected{{"a", {TempTree::allocatedSize(first), 1, 0}}, {"a b", {}}, {"a-b", {}},
                                                 {"a.b", {}}, {"a-c", {}}, {"a-d", {TempTree::allocatedSize(second), 1, 0}}};
    ASSERT_EQ(referenceBuckets(tree.path()), expected);
    for (const char* held : {"", "a", "a b", "a-b", "a.b"}) {
        SCOPED_TRACE(held);
        const std::string slow = (tree.path() / held).native();
        DiskScanner scanner(std::chrono::milliseconds(120), [&](const std::string& directory) {
            if (*held && directory == slow) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        ScanSnapshot snapshot = scanner.scan(tree.path(), false, nullptr);
        EXPECT_EQ(bucketTotals(snapshot), expected);
        EXPECT_EQ(snapshot.fileCount, 2);
    }
}

TEST(DiskScanner, EqualBucketsKeepTheFoldersReadingOrderAndKindsIgnoreCase) {
    TempTree tree;
    for (const char* name : {"b.PDF", "a.pdf", "c.pdf", "d.Pdf"}) tree.file(name, 100);
    ScanSnapshot snapshot = DiskScanner().scan(tree.path(), false, nullptr);

    std::vector<DirectoryEntry> listed;
    ASSERT_TRUE(DirectoryReader::read(tree.path().native(), listed));
    ASSERT_EQ(snapshot.buckets.size(), listed.size());
    for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(snapshot.buckets[i].name(), listed[i].name);

    ASSERT_EQ(snapshot.largestFiles.size(), 4u);
    EXPECT_FALSE(snapshot.largestFiles[0].kind.isEmpty());
    for (const auto& file : snapshot.largestFiles) EXPECT_EQ(file.kind, snapshot.largestFiles[0].kind);
}

TEST(ParallelWalk, BucketSharesStayExactWhenMergedAndFollowTheBucketsTouched) {
    // A worker that visits 3000 buckets twice over, interleaved, keeps one share per bucket.
    ParallelWalk::Accumulator accumulator;
    for (int round = 0; round < 2; ++round)
        for (std::int64_t bucket = 0; bucket < 3000; ++bucket) accumulator.addToBucket(bucket, bucket % 5 + 1, 4096 * (bucket + 1));
    accumulator.addToBucket(7, 0, 0);  // a directory without files adds nothing
    accumulator.addToBucket(7, 1, std::numeric_limits<std::int64_t>::max());

    std::map<std::int64_t, ParallelWalk::BucketShare> merged;
    for (const ParallelWalk::BucketShare& share : accumulator.bucketShares) {
        ParallelWalk::BucketShare& into = merged[share.bucket];
        into.size = std::min(std::numeric_limits<std::int64_t>::max() - share.size, into.size) + share.size;
        into.files += share.files;
    }
    ASSERT_EQ(merged.size(), 3000u);
    EXPECT_LE(accumulator.bucketShares.size(), 2 * 3000u);
    EXPECT_EQ(merged[7].size, std::numeric_limits<std::int64_t>::max());  // saturates
    EXPECT_EQ(merged[7].files, 2 * 3 + 1);
    EXPECT_EQ(merged[2999].size, 2 * 4096 * 3000);
    EXPECT_EQ(merged[2999].files, 2 * 5);
}

TEST(DiskScanner, EmptyFolderAndStandardizedLocation) {
    TempTree tree;
    tree.folder("a/b");
    ScanSnapshot empty = DiskScanner().scan(tree.path() / "a/b", false, nullptr);
    EXPECT_TRUE(empty.buckets.empty());
    EXPECT_TRUE(empty.largestFiles.empty());
    EXPECT_EQ(empty.totalSize, 0);
    EXPECT_EQ(empty.fileCount, 0);
    EXPECT_EQ(empty.folderCount, 0);

    ScanSnapshot snapshot = DiskScanner().scan(tree.path().native() + "/./a/b/..//", false, nullptr);
    EXPECT_EQ(snapshot.rootPath, tree.path() / "a");
    ASSERT_EQ(snapshot.buckets.size(), 1u);
    EXPECT_EQ(snapshot.buckets[0].path, (tree.path() / "a/b").native());
    EXPECT_EQ(snapshot.folderCount, 1);
}

TEST(DiskScanner, AFolderThatCannotBeListedIsAnAccessError) {
    TempTree tree;
    tree.file("plain.txt", 10);
    fs::create_symlink("missing", tree.path() / "dangling");

    for (const char* name : {"plain.txt", "missing", "dangling"}) {
        SCOPED_TRACE(name);
        int calls = 0;
        try {
            DiskScanner().scan(tree.path() / name, false, [&](const ScanProgress&) { ++calls; });
            ADD_FAILURE() << "no error";
        } catch (const ScanError& error) {
            const fs::path standardized = tree.path() / name;
            EXPECT_EQ(error.location(), standardized);
            EXPECT_EQ(error.errorDescription(), "Could not access " + DisplayText::path(standardized) + ".");
        }
        EXPECT_EQ(calls, 0);
    }
}

TEST(DiskScanner, KeepsThe4000LargestFilesAcrossWorkers) {
    TempTree tree;
    // 3999 one-block files and one of two blocks spread over folders, plus one empty file that
    // must fall out of a full list.
    for (int folder = 0; folder < 40; ++folder) tree.folder("d" + std::to_string(folder));
    for (int i = 0; i < 3999; ++i) {
        std::string path = (tree.path() / ("d" + std::to_string(i % 40)) / ("f" + std::to_string(i))).native();
        int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        ASSERT_EQ(::write(fd, "x", 1), 1);
        ::close(fd);
    }
    tree.file("d7/big", 5000);
    tree.file("d9/empty", 0);

    ScanSnapshot snapshot = DiskScanner().scan(tree.path(), false, nullptr);
    EXPECT_EQ(snapshot.fileCount, 4001);
    ASSERT_EQ(snapshot.largestFiles.size(), 4000u);
    EXPECT_EQ(snapshot.largestFiles.front().path, tree.path() / "d7/big");
    for (const auto& file : snapshot.largestFiles) EXPECT_NE(file.path, tree.path() / "d9/empty");
}

// Holds the walk before it reads one directory until the test opens it, so what happens mid-walk
// does not depend on how fast the walk runs.
class WalkGate {
public:
    explicit WalkGate(std::string held) : held_(std::move(held)) {}

    void pass(const std::string& directory) {
        if (directory != held_) return;
        std::unique_lock lock(mutex_);
        waiting_ = true;
        opened_.wait(lock, [this] { return open_; });
        waiting_ = false;
    }
    bool isHolding() {
        std::lock_guard lock(mutex_);
        return waiting_;
    }
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::string held_;
    std::mutex mutex_;
    std::condition_variable opened_;
    bool waiting_ = false;
    bool open_ = false;
};

TEST(DiskScanner, ReportsProgressAndCancelsMidWalk) {
    TempTree tree;
    // A chain of folders, held halfway down.
    std::string chain;
    for (int depth = 0; depth < 400; ++depth) chain += "d/";
    tree.file(chain + "last.txt", 10);
    for (int depth = 0, step = 0; depth < 400; depth += 20, ++step) tree.file(chain.substr(0, depth * 2) + "f" + std::to_string(step), 10);
    tree.file("top.txt", 10);
    const std::string halfway = tree.path().native() + "/" + chain.substr(0, 399);

    WalkGate gate(halfway);
    std::vector<ScanProgress> seen;
    std::vector<ScanProgress> whileHeld;
    DiskScanner scanner(std::chrono::milliseconds(1), [&](const std::string& directory) { gate.pass(directory); });
    ScanSnapshot snapshot = scanner.scan(tree.path(), false, [&](const ScanProgress& progress) {
        seen.push_back(progress);
        if (gate.isHolding()) {
            whileHeld.push_back(progress);
            gate.open();
        }
    });
    EXPECT_EQ(snapshot.fileCount, 22);
    EXPECT_EQ(snapshot.folderCount, 400);
    ASSERT_FALSE(whileHeld.empty());
    EXPECT_GE(whileHeld.front().filesSeen, 1);
    EXPECT_LT(whileHeld.front().filesSeen, snapshot.fileCount);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_GE(seen[i].filesSeen, 1);  // the top-level file is counted from the start
        EXPECT_LE(seen[i].filesSeen, snapshot.fileCount);
        EXPECT_LE(seen[i].bytesSeen, snapshot.totalSize);
        // The scanned folder itself until a worker has finished its first folder.
        EXPECT_TRUE(seen[i].path == tree.path().native() || seen[i].path.starts_with(tree.path().native() + "/d")) << seen[i].path;
        if (i > 0) {
            EXPECT_GE(seen[i].filesSeen, seen[i - 1].filesSeen);
        }
    }

    // Cancelled while the walk is held halfway: it goes no deeper.
    WalkGate cancelGate(halfway);
    std::stop_source stop;
    std::vector<ScanProgress> beforeCancel;
    DiskScanner cancelled(std::chrono::milliseconds(1), [&](const std::string& directory) { cancelGate.pass(directory); });
    EXPECT_THROW(cancelled.scan(tree.path(), false, [&](const ScanProgress& progress) {
        beforeCancel.push_back(progress);
        if (cancelGate.isHolding()) {
            stop.request_stop();
            cancelGate.open();
        }
    }, stop.get_token()), Cancelled);
    ASSERT_FALSE(beforeCancel.empty());
    for (const ScanProgress& progress : beforeCancel) EXPECT_LE(progress.path.size(), halfway.size()) << progress.path;

    // Cancelled before it starts: no worker takes a folder, and the call still ends with the error.
    std::stop_source early;
    early.request_stop();
    EXPECT_THROW(DiskScanner().scan(tree.path(), false, nullptr, early.get_token()), Cancelled);
}

TEST(DiskScanner, UnreadableFoldersAsAnUnprivilegedUser) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to drop to another user";
    TempTree tree;
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    tree.file("closed/inner/secret", 9000);
    tree.file("open/a.txt", 5000);
    tree.file("open/closed-below/b.txt", 5000);
    fs::permissions(tree.path() / "closed", fs::perms::none);
    fs::permissions(tree.path() / "open/closed-below", fs::perms::none);

    std::string output = ForkedChild::runAsNobody([&] {
        std::ostringstream out;
        ScanSnapshot snapshot = DiskScanner().scan(tree.path(), false, nullptr);
        out << snapshot.fileCount << ' ' << snapshot.folderCount << ' ' << snapshot.inaccessibleCount;
        for (const auto& bucket : snapshot.buckets) out << ' ' << bucket.name() << '=' << bucket.size << '/' << bucket.fileCount;
        try {
            DiskScanner().scan(tree.path() / "closed", false, nullptr);
        } catch (const ScanError& error) {
            out << " | " << error.what();
        }
        return out.str();
    });
    std::string openSize = std::to_string(TempTree::allocatedSize(tree.path() / "open/a.txt"));
    EXPECT_EQ(output, "1 3 2 open=" + openSize + "/1 closed=0/0 | Could not access " + (tree.path() / "closed").native() + ".");
}

TEST(DiskScanner, TheVolumeRootGivesSingleSlashPaths) {
    EXPECT_EQ(ParallelWalk("/", false).progress().path, "/");
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to stand a fixture tree in for /";
    TempTree tree;
    tree.file("usr/lib/data.bin", 20000);
    tree.file("etc/conf", 10);
    tree.file("top.txt", 10);

    std::string output = ForkedChild::runInRoot(tree.path(), [] {
        ScanSnapshot snapshot = DiskScanner().scan("/", false, nullptr);
        std::ostringstream out;
        out << snapshot.rootPath.native() << ' ' << snapshot.fileCount << ' ' << snapshot.folderCount;
        std::map<std::string, std::string> buckets;
        for (const auto& bucket : snapshot.buckets) buckets[std::string(bucket.name())] = bucket.path;
        for (const auto& [name, path] : buckets) out << ' ' << name << ',' << path;
        out << " | " << snapshot.largestFiles.at(0).path.native();  // the two small ones tie
        for (const auto& file : snapshot.largestFiles) out << ' ' << file.size / 4096;
        return out.str();
    });
    EXPECT_EQ(output, "/ 3 3 etc,/etc top.txt,/top.txt usr,/usr | /usr/lib/data.bin 5 1 1");
}
