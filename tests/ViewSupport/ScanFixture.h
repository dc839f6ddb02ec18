#pragma once

#include "Services/AppServices.h"

#include <QTemporaryDir>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

// A small home-like folder tree on disk, and the AppState services that scan it with the real scanner.
class ScanFixture {
public:
    ScanFixture();
    ~ScanFixture();  // removes names QTemporaryDir cannot (not UTF-8)

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path file(const std::string& relative, std::size_t size) const;

    // The real scanner; when `holdScans` is set, a scan reports progress and waits until it is cleared.
    AppServices services();
    std::shared_ptr<std::atomic<bool>> holdScans = std::make_shared<std::atomic<bool>>(false);

private:
    QTemporaryDir dir_;
    std::filesystem::path root_;
};
