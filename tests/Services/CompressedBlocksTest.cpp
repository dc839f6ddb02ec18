#include "Foundation/FileDescriptor.h"
#include "Services/FileIntelligenceService.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/LoopDisk.h"
#include "Support/TempTree.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using ForkedChild::check;

// On btrfs mounted with compress=zstd, 8 MiB of logs take a fraction of their blocks: a cache of
// them, and an old log among forgotten files, free at most their figure (a reflinked copy of one
// frees nothing, and says no "up to"); a cache of random bytes,
// which the file system stores as they are, frees its figure. The sizes stay what du says.
TEST(CompressedBlocks, CompressedFilesFreeAtMostTheirFigure) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    if (!fs::exists("/usr/sbin/mkfs.btrfs")) GTEST_SKIP() << "no mkfs.btrfs here";
    TempTree tree;
    const fs::path image = tree.path() / "disk.img";
    if (!LoopDisk::make(image, 256 << 20, {"/usr/sbin/mkfs.btrfs", "-q"})) GTEST_SKIP() << "cannot make a btrfs file system";
    const fs::path disk = tree.folder("disk");
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        if (!LoopDisk::mount(image, disk, "compress=zstd")) return std::string(ForkedChild::mountFailed);
        const fs::path home = disk / "home";
        std::string log;
        for (int line = 0; log.size() < (8u << 20); ++line) log += "2026-12-09T01:00:00 worker " + std::to_string(line % 7) + " request served in 12 ms\n";
        fs::create_directories(home / ".cache/textlogs");
        fs::create_directories(home / ".cache/random");
        fs::create_directories(home / "Documents");
        std::ofstream(home / ".cache/textlogs/app.log", std::ios::binary) << log;
        std::ofstream(home / ".cache/random/blob.bin", std::ios::binary) << TempTree::randomBytes(4 << 20, 5);
        std::ofstream(home / "Documents/old.log", std::ios::binary) << log;
        std::ofstream(home / "Documents/old.bin", std::ios::binary) << TempTree::randomBytes(4 << 20, 6);
        for (const char* name : {"Documents/old.log", "Documents/old.bin"}) TempTree::setModified(home / name, 1'500'000'000);
        // A reflinked copy of a compressed log: every block shared, so it frees nothing, not "up to".
        std::ofstream(home / "Documents/kept.log", std::ios::binary) << log;
        fs::create_directories(home / ".cache/reflinked");
        {
            const FileDescriptor source(::open((home / "Documents/kept.log").c_str(), O_RDONLY | O_CLOEXEC));
            const FileDescriptor copy(::open((home / ".cache/reflinked/kept.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
            if (::ioctl(copy.get(), FICLONE, source.get()) != 0) return std::string("cannot reflink");
        }
        ::sync();
        FixtureRoots roots(disk);
        FileIntelligenceService service;
        std::string found;
        const auto candidates = service.cleanupCandidates();
        for (const char* name : {"textlogs", "random", "reflinked"}) {
            const auto candidate = std::find_if(candidates.begin(), candidates.end(), [&](const CleanupCandidate& each) { return each.path == home / ".cache" / name; });
            if (candidate == candidates.end()) {
                found += std::string(name) + " not listed\n";
                continue;
            }
            check(found, candidate->freed.upTo == (std::string(name) == "textlogs"), std::string(name) + (candidate->freed.upTo ? " says up to" : " does not say up to"));
            const char* file = std::string(name) == "textlogs" ? "app.log" : std::string(name) == "random" ? "blob.bin" : "kept.log";
            check(found, candidate->size == TempTree::allocatedSize(home / ".cache" / name / file), std::string(name) + " size is not du's");
        }
        for (const ScannedFile& file : service.forgottenFiles(home, 90, 1))
            check(found, file.compressed == (file.path.extension() == ".log"), file.path.string() + (file.compressed ? " says compressed" : " says not compressed"));
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << "no loop device here: " << failures;
    EXPECT_EQ(failures, "");
}
