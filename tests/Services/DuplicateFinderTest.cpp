#include "Foundation/Cancelled.h"
#include "Services/CandidateIdentity.h"
#include "Services/FileByFileComparison.h"
#include "Services/FileIntelligenceService.h"
#include "Services/SameSizeComparison.h"
#include "Services/ScanError.h"
#include "Services/WalkWorkers.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <QCryptographicHash>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())), QCryptographicHash::Sha256).toHex().toStdString();
}

std::set<fs::path> paths(const DuplicateGroup& group) {
    std::set<fs::path> out;
    for (const auto& file : group.files) out.insert(file.path);
    return out;
}

// Runs a search and keeps every progress value and every group as it arrived.
struct Search {
    std::vector<DuplicateScanProgress> reports;
    std::vector<DuplicateGroup> found;
    std::vector<fs::path> notCompared;
    std::mutex lock;

    std::vector<DuplicateGroup> run(FileIntelligenceService& service, const fs::path& folder, bool includeHidden = false,
                                    std::stop_token stop = {}) {
        DuplicateSearchResult result = service.duplicateGroups(
            folder, includeHidden,
            [&](const DuplicateScanProgress& progress) {
                std::lock_guard guard(lock);
                reports.push_back(progress);
            },
            [&](const DuplicateGroup& group) {
                std::lock_guard guard(lock);
                found.push_back(group);
            },
            stop);
        notCompared = std::move(result.notCompared);
        return std::move(result.groups);
    }
};

}  // namespace

// The file as the index saw it: its length and date now.
struct Indexed {
    std::string path;
    FileIntelligenceService::IndexedFile file;

    explicit Indexed(const fs::path& location) : path(location.string()) {
        struct stat status {};
        ::stat(path.c_str(), &status);
        file = {path.c_str(), status.st_size, Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec), std::nullopt};
    }
    Indexed(const Indexed&) = delete;
};

std::optional<std::string> sampleText(const Indexed& indexed, HashMeter& meter) {
    auto sample = FileIntelligenceService::sampleDigest(indexed.file, meter);
    return sample.digest ? std::optional(FileIntelligenceService::hex(*sample.digest)) : std::nullopt;
}

TEST(DuplicateHashing, SamplesAreTheWholeSmallFileOrItsHeadAndTail) {
    TempTree tree;
    HashMeter meter;
    const std::string whole = TempTree::randomBytes(131072, 1);
    Indexed exact(tree.write("exact", whole));
    EXPECT_EQ(sampleText(exact, meter), sha256(whole));
    EXPECT_EQ(meter.read().bytes, 131072);
    EXPECT_EQ(meter.read().path, exact.path);

    const std::string longer = TempTree::randomBytes(131073, 2);
    Indexed over(tree.write("over", longer));
    EXPECT_EQ(sampleText(over, meter), sha256(longer.substr(0, 65536) + longer.substr(65537)));
    EXPECT_EQ(meter.read().bytes, 2 * 131072);

    // Gone, a link or a pipe by now: no digest.
    Indexed missing(tree.path() / "missing");
    missing.file.size = 2000;
    EXPECT_EQ(sampleText(missing, meter), std::nullopt);
    fs::create_symlink(exact.path, tree.path() / "link");
    Indexed link(tree.path() / "link");
    EXPECT_EQ(sampleText(link, meter), std::nullopt);
    ::mkfifo((tree.path() / "pipe").c_str(), 0600);
    Indexed pipe(tree.path() / "pipe");
    EXPECT_EQ(sampleText(pipe, meter), std::nullopt);
}

// A file that changed since it was indexed was hashed only up to its indexed length, so a grown
// copy joined the group of the content it no longer equals.
TEST(DuplicateHashing, AFileWhoseLengthOrDateDifferFromTheIndexIsNotHashed) {
    TempTree tree;
    HashMeter meter;
    const std::string content = TempTree::randomBytes(4096, 12);
    Indexed grown(tree.write("grown", content));
    tree.write("grown", content + "more");
    EXPECT_EQ(sampleText(grown, meter), std::nullopt);
    Indexed touched(tree.write("touched", content));
    touched.file.modified = touched.file.modified->addingSeconds(-60);
    EXPECT_EQ(sampleText(touched, meter), std::nullopt);
    touched.file.modified.reset();  // a date the index lacks is not compared
    EXPECT_EQ(sampleText(touched, meter), sha256(content));
}

// A candidate keeps the identity of the file read in a compact form; handed to a move it must be
// that whole identity again, every time to the nanosecond and the birth time known or not, or the
// move would check a replaced file against less than was read.
TEST(DuplicateHashing, ACandidatesCompactIdentityIsTheWholeIdentityOfTheFileRead) {
    TempTree tree;
    const fs::path file = tree.write("file", TempTree::randomBytes(4096, 60));
    const timespec times[2] = {{1'600'000'000, 123'456'789}, {1'600'000'001, 987'654'321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    struct stat status {};
    ASSERT_EQ(::lstat(file.c_str(), &status), 0);
    const FileIdentity read = *FileIdentity::at(file);
    for (const FileIdentity& identity : {read, FileIdentity::of(status)}) {  // a birth time where the file system keeps one, and none
        const FileIdentity whole = CandidateIdentity(identity).withSize(4096);
        EXPECT_EQ(whole, identity);
        EXPECT_EQ(whole.born, identity.born);
        EXPECT_EQ(whole.modifiedNanoseconds, 987'654'321);
    }

    const CandidateIdentity kept(read);
    EXPECT_TRUE(kept.isFile(*FileIdentity::at(file), 4096));
    EXPECT_FALSE(kept.isFile(*FileIdentity::at(file), 4097));
    const fs::path other = tree.write("other", TempTree::randomBytes(4096, 61));
    ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
    EXPECT_FALSE(kept.isFile(*FileIdentity::at(other), 4096));
    tree.waitForStatusClockPast(file);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_FALSE(kept.isFile(*FileIdentity::at(file), 4096));
}

namespace {

// A regular file as read on a wide file system: device and inode numbers past 32 bits, as on XFS
// with inode64 or an overlay with xino.
FileIdentity wideIdentity() {
    FileIdentity identity;
    identity.device = (std::uint64_t(0x8001) << 32) | 0x2a;
    identity.inode = (std::uint64_t(0x7003) << 32) | 0x1234;
    identity.type = S_IFREG;
    identity.size = 4096;
    identity.modifiedSeconds = 1'600'000'000;
    identity.changedSeconds = 1'600'000'001;
    return identity;
}

}  // namespace

// Kept in fewer bits, every such candidate would read as changed and no duplicate would be found.
TEST(DuplicateHashing, ACompactIdentityKeepsDeviceAndInodeNumbersPast32Bits) {
    const FileIdentity read = wideIdentity();
    const CandidateIdentity kept(read);
    const FileIdentity whole = kept.withSize(4096);
    EXPECT_EQ(whole.device, read.device);
    EXPECT_EQ(whole.inode, read.inode);
    EXPECT_TRUE(kept.isFile(read, 4096));
}

// A file on another device, or another inode, is another file, however alike the rest; also when
// the two differ only past the low 32 bits.
TEST(DuplicateHashing, AnIdentityOfAnotherDeviceOrInodeIsAnotherFile) {
    const CandidateIdentity kept(wideIdentity());
    for (std::uint64_t FileIdentity::*number : {&FileIdentity::device, &FileIdentity::inode})
        for (std::uint64_t difference : {std::uint64_t(1), std::uint64_t(1) << 32}) {
            FileIdentity other = wideIdentity();
            other.*number ^= difference;
            EXPECT_FALSE(kept.isFile(other, 4096)) << (number == &FileIdentity::device ? "device" : "inode") << " ^ " << difference;
        }
}

// Files of one length, written and indexed, compared in ranges of `rangeBytes`.
struct SameSizeFiles {
    TempTree tree;
    HashMeter meter;
    std::vector<std::unique_ptr<Indexed>> files;

    void add(const std::string& name, const std::string& content) { files.push_back(std::make_unique<Indexed>(tree.write(name, content))); }

    std::vector<const FileIntelligenceService::IndexedFile*> indexed() const {
        std::vector<const FileIntelligenceService::IndexedFile*> sameSize;
        for (const auto& file : files) sameSize.push_back(&file->file);
        return sameSize;
    }
    std::unique_ptr<SameSizeComparison> comparison(std::int64_t rangeBytes) { return std::make_unique<SameSizeComparison>(indexed(), meter, rangeBytes); }

    // Each digest's file names; every range compared in `order`, only the last one finishing.
    static std::map<std::string, std::set<std::string>> equalNames(SameSizeComparison& comparison, const std::vector<std::size_t>& order) {
        std::optional<std::vector<SameSizeComparison::EqualFiles>> equal;
        for (std::size_t i = 0; i < order.size(); ++i) {
            equal = comparison.compare(order[i]);
            EXPECT_EQ(equal.has_value(), i + 1 == order.size());
        }
        return equal ? namesByDigest(*equal) : std::map<std::string, std::set<std::string>>{};
    }

    static std::map<std::string, std::set<std::string>> namesByDigest(const std::vector<SameSizeComparison::EqualFiles>& equal) {
        std::map<std::string, std::set<std::string>> byDigest;
        for (const auto& [digest, equalFiles] : equal)
            for (const auto* file : equalFiles) byDigest[FileIntelligenceService::hex(digest)].insert(fs::path(file->path).filename().string());
        return byDigest;
    }
};

std::string flipped(std::string content, std::size_t at) {
    content[at] ^= 1;
    return content;
}

// A copy is the very file its sample was read from. One whose name another file of the same length
// and date took between two ranges is not read again as if it were that copy: it leaves, so the
// group never claims for it a range it no longer holds.
TEST(DuplicateHashing, AFileRenamedOverACopyBetweenRangesLeavesTheComparison) {
    const std::size_t size = 600 * 1024;
    const std::int64_t range = 300 * 1024;
    const std::string content = TempTree::randomBytes(size, 18);
    SameSizeFiles files;
    for (const char* name : {"a", "b", "c"}) {
        files.add(name, content);
        TempTree::setModified(files.files.back()->path, 1'600'000'000);
        files.files.back()->file.modified = Instant::fromTimespec(1'600'000'000, 0);
        files.files.back()->file.identity = FileIdentity::at(files.files.back()->path);
    }
    // Unlike the copies in the first range only, which has been compared by then.
    const fs::path other = files.tree.write("elsewhere/other", flipped(content, 0));
    TempTree::setModified(other, 1'600'000'000);
    auto comparison = files.comparison(range);
    EXPECT_FALSE(comparison->compare(0));
    fs::rename(other, files.files[1]->path);
    auto equal = comparison->compare(1);
    ASSERT_TRUE(equal);
    EXPECT_EQ(SameSizeFiles::namesByDigest(*equal), (std::map<std::string, std::set<std::string>>{{sha256(content), {"a", "c"}}}));
}

// Equal files are found by comparing, each content hashed once; a file unlike all others leaves in
// the range where it differs. Ranges give the same answer in any order.
TEST(DuplicateHashing, SameLengthFilesAreComparedRangeByRange) {
    const std::size_t size = 1024 * 1024 + 5;
    const std::int64_t range = 256 * 1024;  // five ranges, the last of 5 bytes
    const std::string x = TempTree::randomBytes(size, 13);
    const std::string p = TempTree::randomBytes(size, 14);
    SameSizeFiles five;
    five.add("x1", x);
    five.add("last", flipped(x, size - 1));
    five.add("x2", x);
    five.add("first", flipped(x, 0));
    five.add("p1", p);
    five.add("q1", flipped(p, size / 2));
    five.add("p2", p);
    five.add("r", flipped(p, 3 * size / 4));
    five.add("q2", flipped(p, size / 2));
    const std::map<std::string, std::set<std::string>> expected{
        {sha256(x), {"x1", "x2"}}, {sha256(p), {"p1", "p2"}}, {sha256(flipped(p, size / 2)), {"q1", "q2"}}};

    auto forward = five.comparison(range);
    ASSERT_EQ(forward->rangeCount(), 5u);
    EXPECT_EQ(SameSizeFiles::equalNames(*forward, {0, 1, 2, 3, 4}), expected);
    // Every file is credited its bytes beyond the sample exactly once, read or not.
    const std::int64_t beyondSample = std::int64_t(size) - FileIntelligenceService::sampleLimit;
    EXPECT_EQ(five.meter.read().bytes, 9 * beyondSample);
    auto backward = five.comparison(range);
    EXPECT_EQ(SameSizeFiles::equalNames(*backward, {4, 3, 2, 1, 0}), expected);
    auto whole = five.comparison(SameSizeComparison::defaultRangeBytes);
    ASSERT_EQ(whole->rangeCount(), 1u);
    EXPECT_EQ(SameSizeFiles::equalNames(*whole, {0}), expected);

    // A pair differing only in its last byte, or only in its first, is no group.
    SameSizeFiles pairs;
    pairs.add("x", x);
    pairs.add("last", flipped(x, size - 1));
    EXPECT_TRUE(SameSizeFiles::equalNames(*pairs.comparison(range), {2, 0, 4, 1, 3}).empty());
    pairs.files.pop_back();
    pairs.add("first", flipped(x, 0));
    EXPECT_TRUE(SameSizeFiles::equalNames(*pairs.comparison(range), {4, 3, 2, 1, 0}).empty());
}

// More copies of one length than may be held open together are hashed one file per call, in any
// order; the call that settles the last file groups them. A file gone since it was indexed is no
// copy and not reported as unread either.
TEST(DuplicateHashing, ManyCopiesAreHashedFileByFile) {
    SameSizeFiles many;
    const std::size_t size = 200 * 1024;
    const std::string content = TempTree::randomBytes(size, 15);
    for (int i = 0; i < 40; ++i) many.add(std::to_string(i), i % 10 == 9 ? TempTree::randomBytes(size, 16 + i) : content);
    fs::remove(many.files[0]->path);
    FileByFileComparison byFile(many.indexed(), many.meter, true);
    std::optional<std::vector<FileIntelligenceService::EqualFiles>> equal;
    for (std::size_t i = 40; i-- > 0;) {
        equal = byFile.compare(i, false);
        EXPECT_EQ(equal.has_value(), i == 0);
    }
    ASSERT_TRUE(equal);
    auto byDigest = SameSizeFiles::namesByDigest(*equal);
    ASSERT_EQ(byDigest.size(), 1u);
    EXPECT_EQ(byDigest[sha256(content)].size(), 35u);
    EXPECT_FALSE(byDigest[sha256(content)].contains("0"));
    EXPECT_EQ(many.meter.read().bytes, 40 * std::int64_t(size - FileIntelligenceService::sampleLimit));
    EXPECT_TRUE(byFile.takeRetries().empty());
    EXPECT_TRUE(byFile.notCompared().empty());
}

// A file changed while its length is compared leaves; the group keeps the others, named by the
// content they were compared with, even when the file whose bytes were hashed is the one that
// changed.
TEST(DuplicateHashing, AFileChangedDuringTheComparisonLeavesIt) {
    const std::size_t size = 600 * 1024;
    const std::int64_t range = 200 * 1024;
    const std::string content = TempTree::randomBytes(size, 17);
    SameSizeFiles files;
    for (const char* name : {"a", "b", "c", "d"}) files.add(name, content);
    auto comparison = files.comparison(range);
    EXPECT_FALSE(comparison->compare(0));  // compared and hashed through "a"
    files.tree.write("b", flipped(content, 0));
    TempTree::setModified(files.files[1]->path, 1'500'000'000);
    EXPECT_FALSE(comparison->compare(1));
    TempTree::setModified(files.files[0]->path, 1'500'000'000);
    auto equal = comparison->compare(2);
    ASSERT_TRUE(equal);
    EXPECT_EQ(SameSizeFiles::namesByDigest(*equal), (std::map<std::string, std::set<std::string>>{{sha256(content), {"c", "d"}}}));
    EXPECT_EQ(files.meter.read().bytes, 4 * std::int64_t(size - FileIntelligenceService::sampleLimit));
}

TEST(DuplicateHashing, CancellingStopsTheComparisonAndTheHashing) {
    const std::string content = TempTree::randomBytes(600 * 1024, 18);
    SameSizeFiles midCompare;
    SameSizeFiles beforeHashing;
    for (SameSizeFiles* files : {&midCompare, &beforeHashing}) {
        files->add("a", content);
        files->add("b", content);
    }
    auto comparison = midCompare.comparison(200 * 1024);
    EXPECT_FALSE(comparison->compare(0));
    midCompare.meter.cancel();
    EXPECT_THROW(comparison->compare(1), Cancelled);

    // Ranges compared out of order wait for the first before they are hashed.
    auto hashing = beforeHashing.comparison(200 * 1024);
    EXPECT_FALSE(hashing->compare(2));
    EXPECT_FALSE(hashing->compare(1));
    beforeHashing.meter.cancel();
    EXPECT_THROW(hashing->compare(0), Cancelled);
}

TEST(DuplicateHashing, PoolSizesAndCancellationDrainTheRunningItems) {
    EXPECT_EQ(FileIntelligenceService::poolWorkerCount(1, 10), 4);
    EXPECT_EQ(FileIntelligenceService::poolWorkerCount(8, 100), 16);
    EXPECT_EQ(FileIntelligenceService::poolWorkerCount(8, 3), 3);

    HashMeter meter;
    int reports = 0;
    FileIntelligenceService::runPool(0, meter, [&] { ++reports; }, [](std::size_t) { FAIL(); }, {});
    EXPECT_EQ(reports, 0);

    std::stop_source stop;
    std::mutex lock;
    std::vector<std::size_t> started;
    std::atomic<int> finished = 0;
    EXPECT_THROW(FileIntelligenceService::runPool(
                     1000, meter, [] {},
                     [&](std::size_t index) {
                         {
                             std::lock_guard guard(lock);
                             started.push_back(index);
                         }
                         stop.request_stop();
                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                         ++finished;
                     },
                     stop.get_token()),
                 Cancelled);
    EXPECT_EQ(int(started.size()), finished.load());
    EXPECT_LE(started.size(), std::size_t(FileIntelligenceService::poolWorkerCount(WalkWorkers::activeProcessors(), 1000)));

    // A search short of descriptors runs fewer workers: here one, so no two items ever overlap.
    std::atomic<int> running = 0;
    std::atomic<int> most = 0;
    std::atomic<int> ran = 0;
    HashMeter uncancelled;
    FileIntelligenceService::runPool(
        64, uncancelled, [] {},
        [&](std::size_t) {
            const int now = ++running;
            for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            --running;
            ++ran;
        },
        {}, 1);
    EXPECT_EQ(ran.load(), 64);
    EXPECT_EQ(most.load(), 1);
}

TEST(DuplicateFinder, FindsGroupsInBothStagesAndOrdersThemByWaste) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string small = TempTree::randomBytes(100 * 1024, 3);
    const std::string large = TempTree::randomBytes(10 * 1024 * 1024, 4);
    std::string middle = large;
    middle[5 * 1024 * 1024] ^= 1;  // equal head and tail, different middle
    const std::string three = TempTree::randomBytes(300 * 1024, 5);
    std::string fourth = three;
    fourth[1000] ^= 1;

    auto s1 = tree.write("a/small-1", small);
    auto s2 = tree.write("b/small-2", small);
    auto l1 = tree.write("a/large-1.iso", large);
    auto l2 = tree.write("b/large-2.iso", large);
    tree.write("c/large-3.iso", middle);
    auto t1 = tree.write("t/1", three);
    auto t2 = tree.write("t/2", three);
    auto t3 = tree.write("t/3", three);
    tree.write("t/4", fourth);
    fs::create_hard_link(t1, tree.path() / "t/hardlink");
    tree.write("tiny/x", std::string(1023, 'q'));
    tree.write("tiny/y", std::string(1023, 'q'));
    auto edge1 = tree.write("edge/x", std::string(1024, 'q'));
    auto edge2 = tree.write("edge/y", std::string(1024, 'q'));
    tree.write("Album.photoslibrary/copy", small);  // packages are not entered
    tree.write(".hidden/copy", small);              // nor hidden folders, unless asked
    TempTree::setModified(s1, 1'600'000'000);
    TempTree::setModified(s2, 1'700'000'000);
    TempTree::setModified(t1, 1'500'000'000);

    Search search;
    auto groups = search.run(service, tree.path());
    ASSERT_EQ(groups.size(), 4u);
    // Waste: 10 MiB, then 600 KiB (the hard link is a second name of t/1, not a copy: t/1 is kept,
    // older though it is), then 100 KiB, then 1 KiB.
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{l1, l2}));
    EXPECT_EQ(groups[0].id, sha256(large));
    EXPECT_EQ(groups[0].fileSize, std::int64_t(large.size()));
    EXPECT_EQ(paths(groups[1]), (std::set<fs::path>{t1, t2, t3}));
    EXPECT_EQ(groups[1].files[0].path, t1);
    EXPECT_EQ(groups[1].reclaimableBytes(), TempTree::allocatedSize(t2) + TempTree::allocatedSize(t3));
    EXPECT_EQ(groups[1].id, sha256(three));
    EXPECT_EQ(groups[2].id, sha256(small));
    ASSERT_EQ(groups[2].files.size(), 2u);
    EXPECT_EQ(groups[2].files[0].path, s2);  // newest first
    EXPECT_EQ(groups[2].files[1].path, s1);
    EXPECT_EQ(paths(groups[3]), (std::set<fs::path>{edge1, edge2}));
    EXPECT_EQ(search.found.size(), 4u);

    // Progress: indexing first without totals, then comparing never past its totals.
    ASSERT_FALSE(search.reports.empty());
    bool comparing = false;
    for (const auto& report : search.reports) {
        if (report.phase == DuplicateScanPhase::indexing) {
            EXPECT_FALSE(comparing);
            EXPECT_FALSE(report.totalFiles);
            continue;
        }
        comparing = true;
        ASSERT_TRUE(report.totalFiles && report.totalBytes);
        EXPECT_LE(report.filesProcessed, *report.totalFiles);
        EXPECT_LE(report.bytesProcessed, *report.totalBytes);
    }
    const auto& last = search.reports.back();
    EXPECT_EQ(last.groupsFound, 4);
    EXPECT_EQ(last.filesProcessed, *last.totalFiles);
    EXPECT_EQ(last.bytesProcessed, *last.totalBytes);  // every byte read or credited exactly once
    EXPECT_EQ(*last.totalFiles, 2 + 3 + 4 + 2);

    Search hidden;
    auto withHidden = hidden.run(service, tree.path(), true);
    EXPECT_EQ(withHidden[2].files.size(), 3u);
}

// Names of one inode are one file: they never make a group by themselves and add no waste. Every
// copy listed carries the identity a move checks against. (The file of three names is kept, so the
// one copy offered has a single name and frees its space.)
TEST(DuplicateFinder, HardLinksAreOneFileAndCopiesCarryTheirIdentity) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string content = TempTree::randomBytes(200 * 1024, 21);
    auto only = tree.write("a/only", content);
    fs::create_hard_link(only, tree.folder("b") / "only-link");
    fs::create_hard_link(only, tree.folder("c") / "only-link");
    Search alone;
    EXPECT_TRUE(alone.run(service, tree.path()).empty());
    EXPECT_TRUE(alone.found.empty());

    auto copy = tree.write("d/copy", content);
    TempTree::setModified(copy, 1'600'000'000);
    Search search;
    auto groups = search.run(service, tree.path());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{only, copy}));
    EXPECT_EQ(groups[0].reclaimableBytes(), TempTree::allocatedSize(copy));
    for (const ScannedFile& file : groups[0].files) EXPECT_EQ(file.identity, FileIdentity::at(file.path)) << file.path;
}

namespace {

// `count` files of 2 KiB in `folder` of `tree`, every `copyEvery`th a copy of the one before it,
// each with a second name: in "snapshot" beside the folder (as a backup tool links the files it
// keeps), or, for every other copy, in the folder itself (a name the search leaves out as no copy).
// The copies are older than their originals, so each group offers exactly its copy.
void writeLinkedTree(const TempTree& tree, int count, int copyEvery) {
    std::string content;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d", i);
        const bool copy = i % copyEvery == copyEvery - 1;
        if (!copy) content = TempTree::randomBytes(2048, unsigned(1000 + i));
        const fs::path file = tree.write(std::string("search/") + name, content);
        TempTree::setModified(file, copy ? 1'600'000'000 : 1'700'000'000);
        fs::create_hard_link(file, i % (2 * copyEvery) == 2 * copyEvery - 1 ? tree.path() / "search" / (std::string("z-") + name) : tree.folder("snapshot") / name);
    }
}

std::int64_t reclaimable(const std::vector<DuplicateGroup>& groups) {
    std::int64_t total = 0;
    for (const DuplicateGroup& group : groups) total += group.reclaimableBytes();
    return total;
}

}  // namespace

// A backup tool's snapshots: every copy keeps another name that a move leaves behind, so moving
// the copies frees nothing. The groups and their copies are found all the same.
TEST(DuplicateFinder, CopiesWithAnotherNameOutsideTheGroupFreeNothing) {
    TempTree tree;
    FileIntelligenceService service;
    writeLinkedTree(tree, 400, 20);
    Search search;
    auto groups = search.run(service, tree.path() / "search");
    ASSERT_EQ(groups.size(), 20u);
    for (const DuplicateGroup& group : groups) {
        ASSERT_EQ(group.files.size(), 2u);
        EXPECT_EQ(group.files[1].identity->links, 2u) << group.files[1].path;
        EXPECT_EQ(group.reclaimableBytes(), 0) << group.files[1].path;
    }
    EXPECT_EQ(reclaimable(groups), 0);
    EXPECT_EQ(reclaimable(search.found), 0);
}

// Linked and unlinked copies side by side: a copy with another name is kept where there is one (the
// newest of them), exactly what the copies of one name take on disk counts, and the groups come
// most space to free first.
TEST(DuplicateFinder, ACopyWithAnotherNameIsKeptAndOnlyCopiesOfOneNameCount) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string four = TempTree::randomBytes(4096, 70);
    const std::string twelve = TempTree::randomBytes(12288, 71);
    const std::string three = TempTree::randomBytes(3000, 72);
    std::map<std::string, fs::path> files;
    auto write = [&](const std::string& name, const std::string& content, time_t modified, bool linked) {
        files[name] = tree.write("search/" + name, content);
        TempTree::setModified(files[name], modified);
        if (linked) fs::create_hard_link(files[name], tree.folder("snapshot") / name);
    };
    // The newest is linked; of three copies, the middle one linked too.
    write("four-kept", four, 1'700'000'000, true);
    write("four-a", four, 1'600'000'003, false);
    write("four-b", four, 1'600'000'002, true);
    write("four-c", four, 1'600'000'001, false);
    // The older copy is the linked one: it is kept, and the newer offered.
    write("twelve-new", twelve, 1'700'000'000, false);
    write("twelve-kept", twelve, 1'600'000'000, true);
    // A copy of 3000 bytes takes a whole block.
    write("three-kept", three, 1'700'000'000, true);
    write("three-copy", three, 1'600'000'000, false);

    Search search;
    auto groups = search.run(service, tree.path() / "search");
    ASSERT_EQ(groups.size(), 3u);
    auto onDisk = [&](const std::string& name) { return TempTree::allocatedSize(files[name]); };
    EXPECT_EQ(groups[0].id, sha256(twelve));
    EXPECT_EQ(groups[0].files[0].path, files["twelve-kept"]);
    EXPECT_EQ(groups[0].reclaimableBytes(), onDisk("twelve-new"));
    EXPECT_EQ(groups[1].id, sha256(four));
    EXPECT_EQ(groups[1].files[0].path, files["four-kept"]);
    EXPECT_EQ(groups[1].reclaimableBytes(), onDisk("four-a") + onDisk("four-c"));
    EXPECT_EQ(groups[2].id, sha256(three));
    EXPECT_EQ(groups[2].files[0].path, files["three-kept"]);
    EXPECT_EQ(groups[2].reclaimableBytes(), onDisk("three-copy"));
    EXPECT_GT(onDisk("three-copy"), 3000);
    EXPECT_EQ(reclaimable(search.found), onDisk("twelve-new") + onDisk("four-a") + onDisk("four-c") + onDisk("three-copy"));
}

// A photo folder with a hard-linked backup beside it (`cp -al`) and a plain copy made later (`cp -r`):
// each group keeps a name of the linked file and offers the plain copy, whose blocks are what a move
// frees. Once the backup's names are in the Trash, they are still other names of the originals: the
// originals are kept, not offered.
TEST(DuplicateFinder, ALinkedBackupIsKeptAndThePlainCopyOffered) {
    TempTree home;
    FileIntelligenceService service;
    std::vector<fs::path> originals, backups, plain;
    for (int i = 0; i < 3; ++i) {
        const std::string name = "2023/photo-" + std::to_string(i) + ".jpg";
        const std::string content = TempTree::randomBytes(std::size_t(60'000 + 70'000 * i), unsigned(80 + i));  // both sides of the sample limit
        originals.push_back(home.write("Pictures/" + name, content));
        TempTree::setModified(originals.back(), 1'600'000'000);
        backups.push_back(home.folder("Backup-Pictures/2023") / originals.back().filename());
        fs::create_hard_link(originals.back(), backups.back());
        plain.push_back(home.write("Desktop/photos-copy/" + originals.back().filename().string(), content));
        TempTree::setModified(plain.back(), 1'700'000'000);
    }
    std::int64_t plainOnDisk = 0;
    for (const fs::path& copy : plain) plainOnDisk += TempTree::allocatedSize(copy);

    auto expectPlainCopiesOffered = [&](const std::vector<fs::path>& keptNames) {
        Search search;
        auto groups = search.run(service, home.path());
        ASSERT_EQ(groups.size(), 3u);
        for (const DuplicateGroup& group : groups) {
            ASSERT_EQ(group.files.size(), 2u);
            EXPECT_NE(std::find(keptNames.begin(), keptNames.end(), group.files[0].path), keptNames.end()) << group.files[0].path;
            EXPECT_NE(std::find(plain.begin(), plain.end(), group.files[1].path), plain.end()) << group.files[1].path;
            EXPECT_EQ(group.reclaimableBytes(), TempTree::allocatedSize(group.files[1].path));
        }
        EXPECT_EQ(reclaimable(groups), plainOnDisk);
    };
    std::vector<fs::path> linked = originals;
    linked.insert(linked.end(), backups.begin(), backups.end());
    expectPlainCopiesOffered(linked);

    const fs::path trash = home.folder(".local/share/Trash/files");
    for (const fs::path& backup : backups) fs::rename(backup, trash / backup.filename());
    expectPlainCopiesOffered(originals);
}

// Copies of a disk image that holds little data: what they take on disk counts, not their length,
// and they rank by it.
TEST(DuplicateFinder, SparseCopiesCountWhatTheyTakeOnDisk) {
    TempTree tree;
    FileIntelligenceService service;
    const std::int64_t length = 32 << 20;
    const std::string data = TempTree::randomBytes(256 * 1024, 90);
    auto image = [&](const std::string& name) {
        const fs::path file = tree.write(name, "");
        std::FILE* out = std::fopen(file.c_str(), "r+b");
        EXPECT_TRUE(out && std::fseek(out, 8 << 20, SEEK_SET) == 0 && std::fwrite(data.data(), 1, data.size(), out) == data.size());
        if (out) std::fclose(out);
        fs::resize_file(file, std::uintmax_t(length));
        return file;
    };
    image("images/disk.img");
    if (TempTree::allocatedSize(image("backup/disk.img")) >= length / 2) GTEST_SKIP() << "this file system keeps no holes";
    const std::string dense = TempTree::randomBytes(1 << 20, 91);
    tree.write("a/dense.bin", dense);
    tree.write("b/dense.bin", dense);

    Search search;
    auto groups = search.run(service, tree.path());
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].fileSize, std::int64_t(dense.size()));  // 1 MiB on disk ranks before the image
    EXPECT_EQ(groups[1].fileSize, length);
    EXPECT_EQ(groups[1].reclaimableBytes(), TempTree::allocatedSize(groups[1].files[1].path));
    EXPECT_LT(groups[1].reclaimableBytes(), std::int64_t(data.size()) + (1 << 20));
    EXPECT_EQ(reclaimable(groups), TempTree::allocatedSize(groups[0].files[1].path) + TempTree::allocatedSize(groups[1].files[1].path));
}

// The giant shape in small: ranges of one length spread over the workers, one pair equal, one
// differing only in its middle byte; progress ends exactly at its totals.
TEST(DuplicateFinder, FilesLongerThanOneRangeAreComparedAcrossTheWorkers) {
    TempTree tree;
    FileIntelligenceService service;
    const std::size_t size = std::size_t(SameSizeComparison::defaultRangeBytes) + 4096;
    const std::string same = TempTree::randomBytes(size, 19);
    const std::string middle = flipped(same, size / 2);
    tree.write("a-middle", middle);  // sorts first, leaves halfway
    auto same1 = tree.write("b-same", same);
    tree.write("c-middle", flipped(same, size / 2 + 1));
    auto same2 = tree.write("d-same", same);
    Search search;
    auto groups = search.run(service, tree.path());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{same1, same2}));
    EXPECT_EQ(groups[0].id, sha256(same));
    const auto& last = search.reports.back();
    EXPECT_EQ(last.bytesProcessed, *last.totalBytes);
    EXPECT_EQ(last.groupsFound, 1);
}

// Files changed between indexing and hashing (here from the first comparing report, which comes
// before any file is opened) leave the search instead of being grouped as they were indexed.
TEST(DuplicateFinder, FilesChangedAfterIndexingLeaveTheSearch) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string content = TempTree::randomBytes(4096, 10);
    auto kept1 = tree.write("kept-1", content);
    auto kept2 = tree.write("kept-2", content);
    auto grown = tree.write("grown", content);
    const std::string large = TempTree::randomBytes(300 * 1024, 11);
    auto large1 = tree.write("large-1", large);
    auto large2 = tree.write("large-2", large);
    auto touched = tree.write("large-3", large);
    TempTree::setModified(touched, 1'600'000'000);

    bool changed = false;
    auto groups = service.duplicateGroups(
        tree.path(), false,
        [&](const DuplicateScanProgress& progress) {
            if (progress.phase != DuplicateScanPhase::comparing || changed) return;
            changed = true;
            tree.write("grown", content + "more");
            TempTree::setModified(touched, 1'700'000'000);
        },
        nullptr).groups;
    ASSERT_TRUE(changed);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{large1, large2}));
    EXPECT_EQ(paths(groups[1]), (std::set<fs::path>{kept1, kept2}));
    EXPECT_EQ(groups[1].id, sha256(content));
}

// A copy is the very file that was read. A file of the same length and date renamed over it once it
// was read (here when the last sample is counted, before any group is made) is not that copy, and a
// second name of a copy already in the group (here linked in before the samples) is no copy at all:
// either leaves the group instead of being offered for the Trash as a copy.
TEST(DuplicateFinder, OnlyTheFilesThatWereReadAreGrouped) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string content = TempTree::randomBytes(4096, 50);
    const fs::path first = tree.write("search/first", content);
    const fs::path second = tree.write("search/second", content);
    const fs::path third = tree.write("search/third", content);
    const fs::path other = tree.write("elsewhere/other", TempTree::randomBytes(4096, 51));
    for (const fs::path& file : {first, second, third, other}) TempTree::setModified(file, 1'600'000'000);
    auto searchChanging = [&](bool beforeTheSamples, const std::function<void()>& change) {
        bool changed = false;
        auto groups = service.duplicateGroups(
            tree.path() / "search", false,
            [&](const DuplicateScanProgress& progress) {
                if (changed || progress.phase != DuplicateScanPhase::comparing) return;
                if (!beforeTheSamples && progress.filesProcessed < progress.totalFiles.value_or(0)) return;
                changed = true;
                change();
            },
            nullptr).groups;
        EXPECT_TRUE(changed);
        return groups;
    };

    auto groups = searchChanging(false, [&] { fs::rename(other, second); });
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{first, third}));
    for (const ScannedFile& file : groups[0].files) EXPECT_EQ(file.identity, FileIdentity::at(file.path)) << file.path;

    tree.write("search/second", content);
    TempTree::setModified(second, 1'600'000'000);
    groups = searchChanging(true, [&] {
        fs::create_hard_link(first, tree.path() / "search-link");
        fs::rename(tree.path() / "search-link", second);
    });
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(paths(groups[0]), (std::set<fs::path>{first, third}));
}

TEST(DuplicateFinder, NothingToCompareAndUnreadableRoot) {
    TempTree tree;
    FileIntelligenceService service;
    tree.write("one", TempTree::randomBytes(5000, 6));
    tree.write("two", TempTree::randomBytes(6000, 7));
    Search search;
    EXPECT_TRUE(search.run(service, tree.path()).empty());
    ASSERT_FALSE(search.reports.empty());
    EXPECT_EQ(search.reports.back().totalFiles, 0);
    EXPECT_EQ(search.reports.back().totalBytes, 0);

    Search failing;
    const fs::path missing = tree.path() / "gone/./";
    try {
        failing.run(service, missing);
        FAIL() << "no error";
    } catch (const ScanError& error) {
        EXPECT_EQ(error.location(), missing);
    }
    EXPECT_TRUE(failing.reports.empty());
}

// The small pair of the full stage finishes long before the large one, whose reads then stop at
// their next 4 MiB boundary.
TEST(DuplicateFinder, StopDuringTheFullStageEndsWithCancelledAfterTheGroupsAlreadyDelivered) {
    TempTree tree;
    FileIntelligenceService service;
    const std::string small = TempTree::randomBytes(200 * 1024, 8);
    tree.write("small-1", small);
    tree.write("small-2", small);
    const std::string large = TempTree::randomBytes(32 * 1024 * 1024, 9);
    tree.write("large-1", large);
    tree.write("large-2", large);

    std::stop_source stop;
    std::vector<DuplicateGroup> delivered;
    std::int64_t lastBytes = 0;
    std::int64_t totalBytes = 0;
    EXPECT_THROW(service.duplicateGroups(
                     tree.path(), false,
                     [&](const DuplicateScanProgress& progress) {
                         if (progress.phase != DuplicateScanPhase::comparing) return;
                         lastBytes = progress.bytesProcessed;
                         totalBytes = *progress.totalBytes;
                     },
                     [&](const DuplicateGroup& group) {
                         delivered.push_back(group);
                         stop.request_stop();
                     },
                     stop.get_token()),
                 Cancelled);
    // Which group comes first, and how far the comparison got before the stop, is the workers' race;
    // what must hold is that nothing is delivered after the stop and the progress stays in bounds.
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_TRUE(delivered[0].id == sha256(small) || delivered[0].id == sha256(large));
    EXPECT_LE(lastBytes, totalBytes);
}

namespace {

// One line for a search's result: each group's copy count and content name, then the names of the
// files not compared.
std::string describe(const DuplicateSearchResult& result, const std::map<std::string, std::string>& contentNames) {
    std::ostringstream out;
    for (const DuplicateGroup& group : result.groups) {
        auto name = contentNames.find(group.id);
        out << group.files.size() << " copies of " << (name == contentNames.end() ? "?" : name->second) << "; ";
    }
    out << "not compared:";
    for (const fs::path& file : result.notCompared) out << ' ' << file.filename().native();
    return out.str();
}

}  // namespace

// Every range of a set of 32 copies held all 32 open on each of 16 workers: under a limit of a few
// hundred descriptors most opens failed, and those copies counted as unlike the others.
TEST(DuplicateFinder, EveryCopyIsFoundUnderALowOpenFileLimit) {
    TempTree tree;
    std::map<std::string, std::set<fs::path>> expected;
    for (int set = 0; set < 10; ++set) {
        const int copies = set == 8 ? 5 : set == 9 ? 40 : 32;
        const std::string content = TempTree::randomBytes(132 * 1024 + std::size_t(set), 100 + unsigned(set));
        for (int copy = 0; copy < copies; ++copy)
            expected[sha256(content)].insert(tree.write("set" + std::to_string(set) + "/" + std::to_string(copy), content));
    }
    for (unsigned long limit : {64ul, 300ul}) {
        const std::string failures = ForkedChild::runWithOpenFileLimit(limit, [&] {
            DuplicateSearchResult result = FileIntelligenceService().duplicateGroups(tree.path(), false, nullptr, nullptr);
            std::map<std::string, std::set<fs::path>> found;
            std::size_t files = 0;
            for (const DuplicateGroup& group : result.groups) {
                found[group.id] = paths(group);
                files += group.files.size();
            }
            std::string notes;
            ForkedChild::check(notes, found == expected, std::to_string(found.size()) + " groups of " + std::to_string(files) + " files");
            ForkedChild::check(notes, result.notCompared.empty(), std::to_string(result.notCompared.size()) + " not compared");
            return notes;
        });
        EXPECT_EQ(failures, "") << "under a limit of " << limit;
    }
}

// A file that finds no descriptor is tried again once the search holds no other, and when it still
// finds none it is reported as not compared, never as unlike the others. Here every descriptor is
// taken from the first comparing report (before any sample), or from the first group (the small
// pair, settled by its samples, before the large files are compared). Held to the end, the files
// are not compared; given back at the first report after that stage has begun (the end of its
// first try, before the one-at-a-time retry) the retry finds them and every copy is grouped. The 33
// large copies are more than one comparison may hold open, so they are hashed file by file.
TEST(DuplicateFinder, FilesThatFindNoDescriptorAreTriedAgainOrReportedNotCompared) {
    TempTree tree;
    const std::string small = TempTree::randomBytes(100 * 1024, 30);
    const std::string large = TempTree::randomBytes(140 * 1024, 31);
    tree.write("small-1", small);
    tree.write("small-2", small);
    std::string largeNames;
    for (int i = 10; i < 43; ++i) {
        tree.write("large-" + std::to_string(i), large);
        largeNames += " large-" + std::to_string(i);
    }
    tree.write("alone", TempTree::randomBytes(150 * 1024, 32));  // never opened: no other file has its length
    const std::map<std::string, std::string> names{{sha256(small), "small"}, {sha256(large), "large"}};

    auto search = [&](bool afterTheSamples, bool giveBack) {
        return ForkedChild::runWithOpenFileLimit(256, [&] {
            std::vector<int> taken;
            int reportsSinceTaken = -1;
            const int seed = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            auto progress = [&](const DuplicateScanProgress& value) {
                if (value.phase != DuplicateScanPhase::comparing) return;
                if (reportsSinceTaken >= 0 && ++reportsSinceTaken == 2 && giveBack) {
                    for (int fd : taken) ::close(fd);
                    taken.clear();
                }
                if (reportsSinceTaken >= 0 || (afterTheSamples && value.groupsFound == 0)) return;
                for (int fd; (fd = ::fcntl(seed, F_DUPFD_CLOEXEC, 0)) >= 0;) taken.push_back(fd);
                reportsSinceTaken = taken.empty() ? -1 : 0;
            };
            DuplicateSearchResult result = FileIntelligenceService().duplicateGroups(tree.path(), false, progress, nullptr);
            for (int fd : taken) ::close(fd);
            return (reportsSinceTaken < 0 ? "nothing taken; " : "") + describe(result, names);
        });
    };
    EXPECT_EQ(search(false, false), "not compared:" + largeNames + " small-1 small-2");
    EXPECT_EQ(search(true, false), "2 copies of small; not compared:" + largeNames);
    EXPECT_EQ(search(false, true), "33 copies of large; 2 copies of small; not compared:");
    EXPECT_EQ(search(true, true), "33 copies of large; 2 copies of small; not compared:");
}

// A file the user may not read is not compared, and says so, whether it fails at its sample or in
// the comparison of the large files (here it is closed once the samples are taken); the copies that
// can be read are grouped without it.
TEST(DuplicateFinder, UnreadableFilesAreReportedNotCompared) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to drop to another user";
    TempTree tree;
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    const std::string small = TempTree::randomBytes(5000, 40);
    const std::string large = TempTree::randomBytes(300 * 1024, 41);
    std::map<std::string, fs::path> files;
    for (const char* name : {"small-1", "small-2", "small-3"}) files[name] = tree.write(name, small);
    for (const char* name : {"large-1", "large-2", "large-3", "large-4"}) files[name] = tree.write(name, large);
    for (const auto& [name, path] : files) ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    fs::permissions(files["small-2"], fs::perms::none);
    const std::map<std::string, std::string> names{{sha256(small), "small"}, {sha256(large), "large"}};

    const std::string output = ForkedChild::runAsNobody([&] {
        bool closed = false;
        auto progress = [&](const DuplicateScanProgress& value) {
            if (value.phase != DuplicateScanPhase::comparing || closed || value.groupsFound == 0) return;
            closed = ::chmod(files["large-4"].c_str(), 0) == 0;
        };
        DuplicateSearchResult result = FileIntelligenceService().duplicateGroups(tree.path(), false, progress, nullptr);
        return (closed ? "" : "large-4 still open; ") + describe(result, names);
    });
    EXPECT_EQ(output, "3 copies of large; 2 copies of small; not compared: large-4 small-2");
}

// Each length is sifted by the worker that reads its last file, whichever workers read the others:
// every pair is found, with the identity of each copy, and no file alone in its content is kept.
TEST(DuplicateFinder, EveryLengthKeepsExactlyTheFilesThatShareASample) {
    TempTree tree;
    std::set<std::set<fs::path>> expected;
    for (int length = 0; length < 300; ++length) {
        const std::size_t size = 1024 + std::size_t(length) * 7;
        const std::string content = TempTree::randomBytes(size, 200 + unsigned(length));
        const std::string folder = "f" + std::to_string(length % 13) + "/";
        const fs::path first = tree.write(folder + "a" + std::to_string(length), content);
        tree.write(folder + "b" + std::to_string(length), TempTree::randomBytes(size, 1000 + unsigned(length)));
        if (length % 3 != 0) expected.insert({first, tree.write("g/c" + std::to_string(length), content)});
    }
    FileIntelligenceService service;
    Search search;
    std::set<std::set<fs::path>> found;
    for (const DuplicateGroup& group : search.run(service, tree.path())) {
        found.insert(paths(group));
        for (const ScannedFile& file : group.files) EXPECT_EQ(file.identity, FileIdentity::at(file.path)) << file.path;
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(search.notCompared.empty());
    EXPECT_EQ(search.reports.back().filesProcessed, 300 * 2 + std::int64_t(expected.size()));
}
