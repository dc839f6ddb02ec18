#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// What the hashing workers of one duplicate search have done so far; read by its progress report.
// Every field is touched under the one lock, and the lock is never held while calling out.
class HashMeter {
public:
    struct Reading {
        std::int64_t bytes = 0;
        std::int64_t files = 0;
        std::optional<std::string> path;
    };

    void addBytes(std::int64_t count);  // saturating; counts below 1 change nothing
    void addFile();
    void setPath(const std::string& path);
    void cancel();
    bool isCancelled() const;
    Reading read() const;

private:
    mutable std::mutex lock_;
    std::int64_t bytes_ = 0;
    std::int64_t files_ = 0;
    std::optional<std::string> path_;
    bool cancelled_ = false;
};
