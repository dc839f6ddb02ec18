#include "ViewSupport/LivedInState.h"

#include "Platform/SettingsStore.h"
#include "Services/FakeAppServices.h"
#include "Services/StorageHistoryService.h"
#include "ViewSupport/ToolsFixture.h"
#include "ViewSupport/UninstallerFixture.h"

namespace {

using Path = std::filesystem::path;
const Path home = "/home/maya-alexandra";
const Instant today = Instant::fromUnixSeconds(1'767'225'600);  // 2026-01-01

ScanSnapshot homeScan() {
    ScanSnapshot snapshot;
    snapshot.rootPath = home;
    const std::pair<const char*, std::int64_t> folders[] = {
        {"Virtual Machines", 182'400'000'000},
        {"Photos – Family Archive 2009–2025", 96'300'000'000},
        {"Downloads", 41'200'000'000},
        {"Projects", 23'800'000'000},
        {".local", 12'100'000'000},
        {"Music", 8'900'000'000},
        {"Documents", 3'400'000'000},
        {".cache", 2'700'000'000},
        {"Desktop", 480'000'000},
        {"snap", 210'000'000},
        {"notes.txt", 4'096},
    };
    for (const auto& [name, size] : folders) {
        snapshot.buckets.push_back({(home / name).string(), size, name[0] == 'n' ? 1 : size / 2'400'000});
        snapshot.totalSize += size;
        snapshot.fileCount += snapshot.buckets.back().fileCount;
    }
    snapshot.folderCount = 48'213;
    snapshot.duration = 143.6;
    snapshot.scannedAt = today;
    snapshot.largestFiles = {
        ToolsFixture::file(home / "Virtual Machines/Windows 11 Development Environment/Windows 11 Development Environment.vdi", 96'000'000'000),
        ToolsFixture::file(home / "Virtual Machines/ubuntu-server-24.04.1-live-server-amd64.qcow2", 40'000'000'000),
        ToolsFixture::file(home / "Downloads/Complete Series Collection (Remastered 1080p).mkv", 18'000'000'000),
    };
    return snapshot;
}

std::vector<InstalledApplication> applications() {
    auto app = [](const std::string& id, const QString& name, std::int64_t size, const QString& version) {
        return UninstallerFixture::application(id, name, size, version);
    };
    return {app("org.gnome.Calculator", "Calculator", 9'400'000, "1:46.1-1"),
            app("code-insiders", "Visual Studio Code - Insiders", 412'000'000, "1.97.0-1734435022"),
            app("gimp", "GNU Image Manipulation Program", 118'000'000, "2.10.36-3ubuntu0.24.04.1"),
            app("libreoffice-impress", "LibreOffice Impress", 96'000'000, "4:24.2.7-0ubuntu0.24.04.1"),
            app("thunderbird", "Thunderbird Mail", 268'000'000, "1:128.5.0+build1-0ubuntu0.24.04.1"),
            app("syncthing", "Syncthing", 0, "\u2014"),
            app("vlc", "VLC media player", 71'500'000, "3.0.21-0ubuntu0.24.04.1")};
}

std::vector<AppArtifact> leftovers() {
    using Fixture = UninstallerFixture;
    return {Fixture::artifact(home / ".local/share/applications/code-insiders.desktop", 4'096, ArtifactCategory::application),
            Fixture::artifact(home / ".config/Code - Insiders", 486'000'000, ArtifactCategory::support),
            Fixture::artifact(home / ".cache/vscode-insiders-cpptools-and-extension-host-logs", 1'240'000'000, ArtifactCategory::cache),
            Fixture::artifact(home / ".cache/code-insiders.updater", 88'000'000, ArtifactCategory::cache, false),
            Fixture::artifact(home / ".config/code-insiders-url-handler.conf", 12'000, ArtifactCategory::preference),
            Fixture::artifact(home / ".var/app/com.visualstudio.code.insiders", 64'000'000, ArtifactCategory::container),
            Fixture::artifact(home / ".local/state/code-insiders", 220'000, ArtifactCategory::savedState)};
}

std::vector<DuplicateGroup> duplicates() {
    return {
        ToolsFixture::group("a1", 1'480'000'000, {home / "Videos/Summer holiday in the mountains 2024 (4K).mp4",
                                                  home / "Downloads/Summer holiday in the mountains 2024 (4K) (1).mp4",
                                                  home / "Backups from the old laptop/Videos/Summer holiday in the mountains 2024 (4K).mp4"}),
        ToolsFixture::group("b2", 356'000'000, {home / "Downloads/ubuntu-24.04.1-desktop-amd64.iso", home / "ISOs/ubuntu-24.04.1-desktop-amd64.iso"}),
        ToolsFixture::group("c3", 4'800'000, {home / "Pictures/IMG_20240714_183512_HDR.jpg", home / "Pictures/Phone/IMG_20240714_183512_HDR.jpg"}),
    };
}

std::vector<ScannedFile> forgotten() {
    const Instant old = Instant::fromUnixSeconds(1'700'000'000);
    return {
        ToolsFixture::file(home / "Videos/Screen recording of the quarterly planning meeting 2023-03-14.mkv", 3'200'000'000, old),
        ToolsFixture::file(home / "Downloads/research-dataset-archive-full.tar.gz", 1'100'000'000, old.addingSeconds(86'400 * 30)),
        ToolsFixture::file(home / "Documents/old-vm-disk.qcow2", 820'000'000, std::nullopt),
    };
}

AppServices services() {
    AppServices s;
    s.scan = [](const Path&, bool, const std::function<void(const ScanProgress&)>&, std::stop_token) { return homeScan(); };
    s.recordScan = [](const ScanSnapshot&) {};
    s.installedApplications = [] { return applications(); };
    s.artifacts = [](const InstalledApplication& application) {
        return application.desktopFileID == "code-insiders" ? leftovers() : std::vector<AppArtifact>{};
    };
    s.trashArtifacts = [](const std::vector<AppArtifact>&) { return std::vector<Path>{}; };
    s.duplicateGroups = [](const Path&, bool, const std::function<void(const DuplicateScanProgress&)>&,
                           const std::function<void(const DuplicateGroup&)>& found, std::stop_token) {
        for (const DuplicateGroup& group : duplicates()) found(group);
        return DuplicateSearchResult{duplicates(), {}};
    };
    s.cleanupCandidates = [] {
        return std::vector<CleanupCandidate>{
            ToolsFixture::candidate(home / ".cache/mozilla/firefox/3x8kq2vd.default-release/cache2", 1'240'000'000, CleanupSafety::safe),
            ToolsFixture::candidate(home / ".cache/thumbnails", 412'000'000, CleanupSafety::safe),
            ToolsFixture::candidate(home / "Downloads/virtualbox-7.1_7.1.4-165100~Ubuntu~noble_amd64.deb", 96'000'000, CleanupSafety::review,
                                    "cleanup.installers.detail"),
        };
    };
    s.developerCandidates = [] {
        return std::vector<CleanupCandidate>{
            ToolsFixture::candidate(home / ".npm/_cacache", 2'100'000'000, CleanupSafety::safe, "developer.npm.detail"),
            ToolsFixture::candidate(home / ".gradle/caches", 1'300'000'000, CleanupSafety::safe, "developer.gradle.detail"),
            ToolsFixture::candidate(home / ".cache/yarn", 640'000'000, CleanupSafety::review, "developer.yarn.detail"),
        };
    };
    s.forgottenFiles = [](const Path&, int, std::int64_t, std::stop_token) { return forgotten(); };
    s.moveToTrash = [](const std::vector<TrashRequest>& items, std::stop_token) {
        TrashResult result;
        for (std::size_t position = 0; position < items.size(); ++position) result.moved.push_back(position);
        return result;
    };
    s.startupItems = [] {
        return std::vector<StartupItem>{
            ToolsFixture::startupItem(home / ".config/autostart/com.nextcloud.desktopclient.nextcloud.desktop",
                                      "Nextcloud Desktop Synchronization Client", true, true),
            ToolsFixture::startupItem(home / ".config/autostart/signal-desktop.desktop.disabled", "Signal", false, true),
            ToolsFixture::startupItem("/etc/xdg/autostart/org.gnome.SettingsDaemon.PrintNotifications.desktop",
                                      "GNOME Settings Daemon's print notifications plugin", true, false),
        };
    };
    s.setStartupItemEnabled = [](const StartupItem&, bool) {};
    s.chooseFolder = [](const Path&) { return std::optional<Path>(); };
    s.openPrivacySettings = [] {};
    s.canOpenPrivacySettings = [] { return true; };

    StorageHistoryService::Sources sources;
    auto day = std::make_shared<int>(0);
    sources.capacity = [day] { return StorageHistoryService::Capacity{512'000'000'000, 190'000'000'000 - std::int64_t(*day) * 700'000'000}; };
    sources.now = [day] { return today.addingSeconds(86'400.0 * (*day - 20)); };
    sources.timeZone = [] { return QTimeZone::utc(); };
    s.storageHistory = std::make_unique<StorageHistoryService>(sources);
    for (*day = 1; *day <= 20; ++*day) s.storageHistory->recordCurrentCapacity();
    ScanSnapshot earlier = homeScan();
    earlier.scannedAt = today.addingSeconds(-86'400.0 * 7);
    earlier.buckets[2].size += 6'000'000'000;
    earlier.buckets[1].size -= 2'500'000'000;
    s.storageHistory->record(earlier);
    s.storageHistory->record(homeScan());
    return s;
}

}  // namespace

LivedInState::LivedInState() {
    for (const QString& key : ToolsFixture::storedKeys) SettingsStore::shared().remove(key);
    SettingsStore::shared().setValue("scanRootBookmark", QByteArray(home.c_str()));
    machine_ = std::make_unique<MonitorFixture>(true, services());
    // A developer server in a project folder, listening on two ports.
    FakeMachine& machine = machine_->machine;
    machine.write("home/storefront-web-application/package.json", "{}");
    machine.process({.pid = 700, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.home() / "storefront-web-application").native(),
                     .utime = 10, .startTicks = 9, .rssPages = 60000, .socketInodes = {7001, 7002}});
    machine.tcp({{5173, "0A", 7001}, {24678, "0A", 7002}});
    machine_->start();
    machine_->step(30);

    AppState& app = state();
    app.setScanRoot(home);
    app.startScan();
    waitUntil([&] { return !app.isScanning(); });
    auto whenIdle = [&] { waitUntil([&] { return !app.isToolWorking(); }); };
    app.findDuplicates();
    whenIdle();
    app.loadCleanupCandidates();
    whenIdle();
    app.loadDeveloperCandidates();
    whenIdle();
    app.findForgottenFiles(180);
    whenIdle();
    app.loadStartupItems();
    whenIdle();
    app.loadApplications();
    waitUntil([&] { return !app.isLoadingApplications() && !app.isLoadingArtifacts(); });
    for (const InstalledApplication& application : app.applications())
        if (application.desktopFileID == "code-insiders") app.selectApplication(application);
    waitUntil([&] { return !app.isLoadingArtifacts(); });
}

std::vector<QString> LivedInState::userNames() const {
    std::vector<QString> names;
    auto add = [&](const Path& path) { names.push_back(QString::fromStdString(path.filename().string())); };
    for (const StorageBucket& bucket : homeScan().buckets) add(bucket.path);
    for (const ScannedFile& file : homeScan().largestFiles) add(file.path);
    for (const InstalledApplication& application : applications()) {
        names.push_back(application.name);
        names.push_back(application.version);
    }
    for (const AppArtifact& artifact : leftovers()) add(artifact.path);
    for (const DuplicateGroup& group : duplicates())
        for (const ScannedFile& file : group.files) add(file.path);
    for (const ScannedFile& file : forgotten()) add(file.path);
    for (const AppUsage& app : machine_->monitor().apps()) names.push_back(QString::fromStdString(app.name));
    return names;
}

LivedInState::~LivedInState() {
    machine_.reset();
    for (const QString& key : ToolsFixture::storedKeys) SettingsStore::shared().remove(key);
}
