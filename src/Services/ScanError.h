#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

// The folder of a scan or a duplicate search could not be read. The message is the same in every
// language: "Could not access <path>."
class ScanError : public std::runtime_error {
public:
    static ScanError cannotOpen(const std::filesystem::path& location) { return ScanError(location); }
    const std::filesystem::path& location() const { return location_; }

private:
    explicit ScanError(const std::filesystem::path& location)
        : std::runtime_error("Could not access " + location.string() + "."), location_(location) {}
    std::filesystem::path location_;
};
