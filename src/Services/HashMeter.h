#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

// What the hashing workers of one duplicate search have done so far; read by its progress report.
// Plain atomic counters: the workers count every chunk they read and must never wait on each other.
class HashMeter {
public:
    struct Reading {
        std::int64_t bytes = 0;
        std::int64_t files = 0;
        std::optional<std::string> path;
    };

    void addBytes(std::int64_t count);  // saturating; counts below 1 change nothing
    void addFile() { files_.fetch_add(1, std::memory_order_relaxed); }
    // The file most recently opened; its text must outlive every later read of the meter.
    void setPath(const char* path) { path_.store(path, std::memory_order_release); }
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    Reading read() const;

private:
    std::atomic<std::int64_t> bytes_ = 0;
    std::atomic<std::int64_t> files_ = 0;
    std::atomic<const char*> path_ = nullptr;
    std::atomic<bool> cancelled_ = false;
};
