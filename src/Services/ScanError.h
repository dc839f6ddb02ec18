#pragma once

#include <QString>

#include <exception>
#include <filesystem>
#include <string>

// The chosen folder could not be listed. Its description is the same in every language.
class ScanError : public std::exception {
public:
    static ScanError cannotOpen(std::filesystem::path location) { return ScanError(std::move(location)); }

    const std::filesystem::path& location() const { return location_; }
    QString errorDescription() const;
    const char* what() const noexcept override { return message_.c_str(); }

private:
    explicit ScanError(std::filesystem::path location);

    std::filesystem::path location_;
    std::string message_;
};
