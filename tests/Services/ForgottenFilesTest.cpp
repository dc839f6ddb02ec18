#include "Services/FileIntelligenceService.h"
#include "Services/ScanError.h"
#include "Support/TempTree.h"

#include <QDateTime>

#include <set>

#include <time.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A fixed "now" at a whole second, so a file can be dated exactly at the cutoff.
const Instant cutoffNow = Instant::fromUnixSeconds(1'780'000'000);

Instant daysBefore(int days) {
    return Instant::fromUnixSeconds(double(QDateTime::fromSecsSinceEpoch(qint64(cutoffNow.unixSeconds())).addDays(-days).toSecsSinceEpoch()));
}

void setModified(const fs::path& path, Instant when) { TempTree::setModified(path, time_t(when.unixSeconds())); }

std::vector<fs::path> urls(const std::vector<ScannedFile>& files) {
    std::vector<fs::path> out;
    for (const auto& file : files) out.push_back(file.path);
    return out;
}

}  // namespace

TEST(ForgottenFiles, CutoffIsStrictAndSizeIsAllocated) {
    TempTree tree;
    FileIntelligenceService service([] { return cutoffNow; });
    const Instant cutoff = daysBefore(180);
    auto atCutoff = tree.file("at-cutoff.bin", 40000);
    auto secondEarlier = tree.file("second-earlier.bin", 40000);
    auto recent = tree.file("recent.bin", 40000);
    auto small = tree.file("small.bin", 100);
    setModified(atCutoff, cutoff);
    setModified(secondEarlier, cutoff.addingSeconds(-1));
    setModified(recent, cutoffNow);
    setModified(small, cutoff.addingSeconds(-1));

    auto found = service.forgottenFiles(tree.path(), 180, TempTree::allocatedSize(secondEarlier));
    ASSERT_EQ(urls(found), std::vector<fs::path>{secondEarlier});
    EXPECT_EQ(found[0].size, TempTree::allocatedSize(secondEarlier));
    EXPECT_EQ(found[0].modifiedAt, cutoff.addingSeconds(-1));
    EXPECT_EQ(found[0].identity, FileIdentity::at(secondEarlier));  // what a move checks against
    // One byte more than the allocated size: nothing qualifies.
    EXPECT_TRUE(service.forgottenFiles(tree.path(), 180, TempTree::allocatedSize(secondEarlier) + 1).empty());
    // Millions of days back: no file is that old, and the day arithmetic must not wrap into the future.
    EXPECT_TRUE(service.forgottenFiles(tree.path(), std::numeric_limits<int>::max(), 0).empty());
}

// Local time that skips 02:00 to 03:00 on 31 March 2024 (Central European summer time begins).
class CentralEuropeanTime {
public:
    CentralEuropeanTime() : previous_(qgetenv("TZ")), hadPrevious_(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
    }
    ~CentralEuropeanTime() {
        if (hadPrevious_) qputenv("TZ", previous_);
        else qunsetenv("TZ");
        ::tzset();
    }

private:
    QByteArray previous_;
    bool hadPrevious_;
};

TEST(ForgottenFiles, ACutoffInADaylightSavingGapIsTheFirstValidInstantAfterIt) {
    CentralEuropeanTime zone;
    TempTree tree;
    // Now is 10 April 2024 02:30 summer time (00:30 UTC); ten days before, 02:30 did not exist.
    const Instant gapNow = Instant::fromUnixSeconds(1'712'709'000);
    FileIntelligenceService service([&] { return gapNow; });
    const Instant gapEnds = Instant::fromUnixSeconds(1'711'846'800);  // 31 March 03:00 summer time, 01:00 UTC
    auto older = tree.file("older.bin", 20'000'000);
    auto atEnd = tree.file("at-end.bin", 20'000'000);
    setModified(older, Instant::fromUnixSeconds(gapEnds.unixSeconds() - 1));
    setModified(atEnd, gapEnds);

    EXPECT_EQ(urls(service.forgottenFiles(tree.path(), 10, 10'000'000)), std::vector<fs::path>{older});
}

TEST(ForgottenFiles, SkipsPackagesAndHiddenEntriesAndKeepsTheLargest) {
    TempTree tree;
    FileIntelligenceService service([] { return cutoffNow; });
    const Instant old = daysBefore(400);
    std::vector<fs::path> all;
    for (auto name : {"Photos.photoslibrary/a.jpg", "Tool.APP/Contents/bin", ".hidden/b.bin", ".c.bin", "Report.pages", "docs/d.BIN",
                      "docs/e.bin"}) {
        all.push_back(tree.file(name, 20000));
    }
    for (const auto& path : all) setModified(path, old);
    auto found = service.forgottenFiles(tree.path() / "docs/..", 365, 1);
    auto paths = urls(found);
    EXPECT_EQ(std::set<fs::path>(paths.begin(), paths.end()),
              (std::set<fs::path>{tree.path() / "Report.pages", tree.path() / "docs/d.BIN", tree.path() / "docs/e.bin"}));
    auto kindOf = [&](const fs::path& path) {
        for (const auto& file : found)
            if (file.path == path) return file.kind;
        return QString();
    };
    EXPECT_FALSE(kindOf(tree.path() / "docs/e.bin").isEmpty());
    EXPECT_EQ(kindOf(tree.path() / "docs/d.BIN"), kindOf(tree.path() / "docs/e.bin"));
}

TEST(ForgottenFiles, ReturnsTheThousandLargestLargestFirst) {
    TempTree tree;
    FileIntelligenceService service([] { return cutoffNow; });
    const Instant old = daysBefore(200);
    for (int i = 0; i < 1005; ++i) {
        // Sparse files: the allocated size differs by the blocks written.
        auto path = tree.file("many/" + std::to_string(i), std::size_t(i % 7 + 1) * 4096);
        setModified(path, old);
    }
    auto found = service.forgottenFiles(tree.path() / "many", 180, 1);
    ASSERT_EQ(found.size(), 1000u);
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.size > b.size; }));
    EXPECT_EQ(found.back().size, TempTree::allocatedSize(tree.path() / "many/0"));  // the five dropped are of the smallest size
}

TEST(ForgottenFiles, UnreadableFolderThrowsWithTheLocationAsPassed) {
    TempTree tree;
    FileIntelligenceService service;
    const fs::path missing = tree.path() / "a/../missing/";
    try {
        service.forgottenFiles(missing, 90, 1);
        FAIL() << "no error";
    } catch (const ScanError& error) {
        EXPECT_EQ(error.location(), missing);
        EXPECT_EQ(std::string(error.what()), "Could not access " + missing.string() + ".");
    }
    fs::create_symlink(tree.path() / "nowhere", tree.path() / "link");
    EXPECT_THROW(service.forgottenFiles(tree.path() / "link", 90, 1), ScanError);
}

// What changed between the walk and the listing leaves the list, and the next largest takes its
// place. Blocks are no sign of change: ext4 adds an extent block when it writes a file back.
TEST(ForgottenFiles, FilesChangedSinceTheWalkGiveWayToTheNextLargest) {
    TempTree tree;
    std::vector<FileIntelligenceService::FileRecord> walked;
    for (int i = 0; i < 7; ++i) {
        const fs::path file = tree.file("f" + std::to_string(i), std::size_t(10 - i) * 4096);
        setModified(file, daysBefore(400));
        struct stat status {};
        ASSERT_EQ(::lstat(file.c_str(), &status), 0);
        walked.push_back({file.string(), TempTree::allocatedSize(file), Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec), status.st_size});
    }
    walked[0].size += 8 * 512;  // written back since: one more block, the same content
    tree.write("f1", "rewritten");
    setModified(walked[1].path, *walked[1].modified);  // other length, same date
    setModified(walked[2].path, daysBefore(10));
    fs::remove(walked[3].path);
    fs::create_directory(walked[3].path);
    fs::remove(walked[4].path);

    const auto files = FileIntelligenceService::unchangedFiles(walked, 2);
    ASSERT_EQ(urls(files), (std::vector<fs::path>{walked[0].path, walked[5].path}));
    EXPECT_EQ(files[0].size, walked[0].size);
    EXPECT_EQ(files[1].identity, FileIdentity::at(walked[5].path));
    EXPECT_EQ(FileIntelligenceService::unchangedFiles(walked, 10).size(), 3u);
}
