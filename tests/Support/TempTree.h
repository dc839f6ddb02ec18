#pragma once

#include <QTemporaryDir>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

// A temporary folder for fixture trees, removed with the test.
class TempTree {
public:
    TempTree();
    ~TempTree();
    const std::filesystem::path& path() const { return path_; }

    // Creates a file (and its folders) below the tree with `size` bytes of content; returns its path.
    std::filesystem::path file(const std::string& relative, size_t size = 0, char fill = 'x') const;
    std::filesystem::path folder(const std::string& relative) const;
    std::filesystem::path write(const std::string& relative, const std::string& content) const;

    // What a test reads back: a file's bytes ("" when it cannot be read), and the bytes its blocks
    // take on disk, which is what the scans count (0 when it is gone).
    static std::string read(const std::filesystem::path& file);
    static std::int64_t allocatedSize(const std::filesystem::path& path);

    // Content that no two seeds share, and a file's modification time set to `seconds`.
    static std::string randomBytes(std::size_t size, unsigned seed);
    static void setModified(const std::filesystem::path& path, time_t seconds);

    // Rewrites a file in place with `content` and puts its access and modification times back, as
    // `touch -r` would. Waits first until the kernel's clock for file times has moved past the
    // file's status-change time (it may move by clock ticks only), so that the rewrite shows.
    void rewriteKeepingTimes(const std::filesystem::path& file, const std::string& content) const;
    // The same wait alone, before a change made by other means.
    void waitForStatusClockPast(const std::filesystem::path& file) const;

private:
    QTemporaryDir dir_;
    std::filesystem::path path_;
};
