#pragma once

#include "Services/AppState.h"
#include "Services/FakeAppServices.h"

#include <filesystem>
#include <memory>
#include <vector>

// An AppState over fake services whose tool lists are filled the way the app fills them (through
// its operations, the fake answering), and a storage history with a fixed clock and capacity.
class ToolsFixture {
public:
    using Path = std::filesystem::path;

    // `storedScans`: a scan history as an earlier build left it in the settings store.
    explicit ToolsFixture(const QByteArray& storedScans = {});
    ~ToolsFixture();

    // What a fixture clears from the settings store when it starts and ends.
    static const QStringList storedKeys;

    AppState& state() { return *state_; }
    StorageHistoryService& history() { return *state_->storageHistory(); }

    void loadCleanup(std::vector<CleanupCandidate> candidates);
    void loadDeveloper(std::vector<CleanupCandidate> candidates);
    void findForgotten(std::vector<ScannedFile> files, int days = 180);
    void loadStartup(std::vector<StartupItem> items);
    // Starts a duplicate search and returns the fake's call, held until answered.
    DuplicateCall& startDuplicates();
    // A search that found these and completed, unable to read `notCompared`.
    void finishDuplicates(std::vector<DuplicateGroup> groups, std::vector<Path> notCompared = {});

    // History: today's capacity is recorded when the state is made; these add days and scans.
    void recordDay(int daysLater, std::int64_t used, std::int64_t available);
    void recordScan(const Path& root, std::vector<std::pair<std::string, std::int64_t>> folders, bool includesHiddenFiles = false);

    static ScannedFile file(const Path& path, std::int64_t size, std::optional<Instant> modifiedAt = std::nullopt);
    static DuplicateGroup group(std::string id, std::int64_t size, const std::vector<Path>& paths);
    static CleanupCandidate candidate(const Path& path, std::int64_t size, CleanupSafety safety, QString detailKey = "cleanup.cache.detail");
    static StartupItem startupItem(const Path& path, QString name, bool enabled, bool canChange);

    FakeAppServices fake;

private:
    Instant now_ = Instant::fromUnixSeconds(1'767'225'600);  // 2026-01-01
    StorageHistoryService::Capacity capacity_{512'000'000'000, 200'000'000'000};
    std::unique_ptr<AppState> state_;
};
