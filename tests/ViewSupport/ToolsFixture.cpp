#include "ViewSupport/ToolsFixture.h"

#include "Platform/SettingsStore.h"

const QStringList ToolsFixture::storedKeys{"storageHistory.v1", "scanHistory.v1", "scanRootBookmark"};

ToolsFixture::ToolsFixture(const QByteArray& storedScans) {
    for (const QString& key : storedKeys) SettingsStore::shared().remove(key);
    if (!storedScans.isEmpty()) SettingsStore::shared().setValue("scanHistory.v1", storedScans);
    // A chosen folder, so a duplicate search starts without asking for one.
    SettingsStore::shared().setValue("scanRootBookmark", QByteArray("/fixture"));
    AppServices services = fake.services();
    StorageHistoryService::Sources sources;
    sources.capacity = [this] { return capacity_; };
    sources.now = [this] { return now_; };
    sources.timeZone = [] { return QTimeZone::utc(); };
    services.storageHistory = std::make_unique<StorageHistoryService>(sources);
    state_ = std::make_unique<AppState>(std::move(services));
    state_->setScanRoot("/fixture/home");
}

ToolsFixture::~ToolsFixture() {
    fake.abandon.request_stop();
    state_.reset();
    for (const QString& key : storedKeys) SettingsStore::shared().remove(key);
}

void ToolsFixture::loadCleanup(std::vector<CleanupCandidate> candidates) {
    const std::size_t before = fake.cleanupLoads.size();
    state_->loadCleanupCandidates();
    if (!waitUntil([&] { return fake.cleanupLoads.size() > before; })) return;
    fake.cleanupLoads[before]->succeed(std::move(candidates));
    waitUntil([&] { return !state_->isToolWorking(); });
}

void ToolsFixture::loadDeveloper(std::vector<CleanupCandidate> candidates) {
    const std::size_t before = fake.developerLoads.size();
    state_->loadDeveloperCandidates();
    if (!waitUntil([&] { return fake.developerLoads.size() > before; })) return;
    fake.developerLoads[before]->succeed(std::move(candidates));
    waitUntil([&] { return !state_->isToolWorking(); });
}

void ToolsFixture::findForgotten(std::vector<ScannedFile> files, int days) {
    const std::size_t before = fake.forgottenSearches.size();
    state_->findForgottenFiles(days);
    if (!waitUntil([&] { return fake.forgottenSearches.size() > before; })) return;
    fake.forgottenSearches[before]->succeed(std::move(files));
    waitUntil([&] { return !state_->isToolWorking(); });
}

void ToolsFixture::loadStartup(std::vector<StartupItem> items) {
    const std::size_t before = fake.startupLoads.size();
    state_->loadStartupItems();
    if (!waitUntil([&] { return fake.startupLoads.size() > before; })) return;
    fake.startupLoads[before]->succeed(std::move(items));
    waitUntil([&] { return !state_->isToolWorking(); });
}

DuplicateCall& ToolsFixture::startDuplicates() {
    const std::size_t before = fake.duplicateSearches.size();
    state_->findDuplicates();
    waitUntil([&] { return fake.duplicateSearches.size() > before; });
    return *fake.duplicateSearches[before];
}

void ToolsFixture::finishDuplicates(std::vector<DuplicateGroup> groups, std::vector<Path> notCompared) {
    // The groups reach AppState as the search finds them; its returned list only says it ended.
    DuplicateCall& search = startDuplicates();
    for (const DuplicateGroup& group : groups) search.foundGroup(group);
    search.succeed(std::move(groups), std::move(notCompared));
    waitUntil([&] { return !state_->isToolWorking(); });
}

void ToolsFixture::recordDay(int daysLater, std::int64_t used, std::int64_t available) {
    now_ = Instant::fromUnixSeconds(1'767'225'600 + 86'400.0 * daysLater);
    capacity_ = {used + available, available};
    history().recordCurrentCapacity();
}

void ToolsFixture::recordScan(const Path& root, std::vector<std::pair<std::string, std::int64_t>> folders, bool includesHiddenFiles) {
    ScanSnapshot snapshot;
    snapshot.rootPath = root;
    snapshot.scannedAt = now_;
    snapshot.includesHiddenFiles = includesHiddenFiles;
    for (const auto& [name, size] : folders) {
        const Path path = root / name;
        snapshot.buckets.push_back({path.string(), size, 1});
        snapshot.totalSize += size;
    }
    history().record(snapshot);
}

ScannedFile ToolsFixture::file(const Path& path, std::int64_t size, std::optional<Instant> modifiedAt) {
    ScannedFile scanned;
    scanned.path = path;
    scanned.size = size;
    scanned.modifiedAt = modifiedAt;
    return scanned;
}

DuplicateGroup ToolsFixture::group(std::string id, std::int64_t size, const std::vector<Path>& paths) {
    DuplicateGroup result;
    result.id = std::move(id);
    result.fileSize = size;
    // Newest first, a day apart, as the finder lists copies: the first is the one clearly kept.
    for (const Path& path : paths) result.files.push_back(file(path, size, Instant::fromUnixSeconds(1'700'000'000.0 - 86'400.0 * double(result.files.size()))));
    return result;
}

CleanupCandidate ToolsFixture::candidate(const Path& path, std::int64_t size, CleanupSafety safety, QString detailKey) {
    CleanupCandidate result;
    result.id = path.string();
    result.path = path;
    result.size = size;
    result.freed.singleNamedBytes = size;  // a plain cache: moving it frees all it takes
    result.safety = safety;
    result.detailKey = std::move(detailKey);
    return result;
}

StartupItem ToolsFixture::startupItem(const Path& path, QString name, bool enabled, bool canChange) {
    const QString program = "/usr/bin/" + name.toLower();
    return StartupItem{path.string(), std::move(name), path, program, enabled, canChange, {}, true, {}};
}
