#include "Platform/SettingsStore.h"
#include "Platform/SystemRoots.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallerService.h"
#include "Models/AppLocalization.h"
#include "Models/PackageKind.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::int64_t allocated(const fs::path& file) {
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 ? std::int64_t(info.st_blocks) * 512 : -1;
}

// What `du -s` counts: everything in a tree, itself included, no link followed, a file of two names once.
std::int64_t du(const fs::path& location) {
    std::int64_t total = allocated(location);
    std::set<std::pair<dev_t, ino_t>> seen;
    for (const auto& entry : fs::recursive_directory_iterator(location)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) == 0 && seen.insert({info.st_dev, info.st_ino}).second) total += allocated(entry.path());
    }
    return total;
}

// An AppImage as its runtime makes it: an ELF file with "AI" and the format's version at bytes 8 to 10.
fs::path appImage(const TempTree& tree, const std::string& relative, size_t size) {
    const char head[] = {'\x7f', 'E', 'L', 'F', 2, 1, 1, 0, 'A', 'I', 2};
    std::string bytes(size, 'x');
    bytes.replace(0, sizeof head, head, sizeof head);
    return tree.write(relative, bytes);
}

fs::path executable(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
    return file;
}

// An entry that starts a program of its own name unless `extra` gives its Exec line.
std::string application(const std::string& name, const std::string& extra = "") {
    const std::string exec = extra.find("Exec=") == std::string::npos ? "Exec=run-" + name + "\n" : "";
    return "[Desktop Entry]\nType=Application\nName=" + name + "\n" + exec + extra;
}

class UninstallerServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::shared().setValue("appLanguage", "en");
    }
    void TearDown() override {
        SettingsStore::shared().remove("appLanguage");
    }

    fs::path home(const std::string& relative) const { return tree.path() / "home" / relative; }

    InstalledApplication userApplication(const std::string& identifier, const std::string& name) {
        const fs::path file = tree.write("home/.local/share/applications/" + identifier + ".desktop", application(name));
        return {file.string(), QString::fromStdString(name), QString::fromStdString(identifier), "\u2014", file, allocated(file), {}};
    }

    // The application's own items, each with its tick.
    using Items = std::vector<std::pair<fs::path, bool>>;
    Items applicationItems(const InstalledApplication& application) {
        Items items;
        for (const AppArtifact& artifact : service.artifacts(application))
            if (artifact.category == ArtifactCategory::application) items.emplace_back(artifact.path, artifact.isSelected);
        return items;
    }

    // The listed applications by desktop-file ID.
    std::map<std::string, InstalledApplication> applicationsByID() {
        std::map<std::string, InstalledApplication> applications;
        for (const InstalledApplication& each : service.installedApplications()) applications[each.desktopFileID.toStdString()] = each;
        return applications;
    }

    static std::vector<fs::path> urls(const std::vector<AppArtifact>& artifacts) {
        std::vector<fs::path> found;
        for (const auto& artifact : artifacts) found.push_back(artifact.path);
        return found;
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    UninstallerService service;
};

}  // namespace

TEST_F(UninstallerServiceTest, ListsDesktopApplicationsWithFallbacksAndOrder) {
    tree.write("usr/share/applications/zeta.desktop", application("zeta", "Version=1.5\n"));
    tree.write("usr/share/applications/alpha.desktop", application("Alpha", "Name[ar]=ألفا\n"));
    tree.write("usr/share/applications/Tool.DESKTOP", "[Desktop Entry]\nType=Application\nExec=tool\n");
    tree.write("usr/share/applications/nodisplay.desktop", application("Helper", "NoDisplay=true\n"));
    tree.write("usr/share/applications/deleted.desktop", application("Deleted", "Hidden=true\n"));
    tree.write("usr/share/applications/link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://x\n");
    tree.write("usr/share/applications/broken.desktop", "Name=Broken\n");
    tree.write("usr/share/applications/.secret.desktop", application("Secret"));
    tree.write("usr/share/applications/readme.txt", application("Readme"));
    const fs::path userAlpha = tree.write("home/.local/share/applications/alpha.desktop", application("alpha"));

    // zeta belongs to a package: its version is the package's, its size that of the files it owns.
    const fs::path binary = tree.file("usr/bin/zeta", 100000);
    const fs::path data = tree.file("usr/share/zeta/data", 20000);
    const fs::path hidden = tree.file("usr/share/zeta/.cache", 5000);
    fs::create_symlink(tree.file("big", 1 << 20), tree.path() / "usr/bin/zeta-link");
    tree.write("var/lib/dpkg/info/zeta:amd64.list",
               "/.\n/usr\n/usr/bin\n/usr/bin/zeta\n/usr/bin/zeta-link\n/usr/share/applications/zeta.desktop\n/usr/share/zeta\n/usr/share/zeta/data\n"
               "/usr/share/zeta/.cache\n/usr/share/zeta/missing\n");
    tree.write("var/lib/dpkg/info/other.list", "/usr/bin/other\n");
    tree.write("var/lib/dpkg/status",
               "Package: other\nStatus: install ok installed\nVersion: 9\n\n"
               "Package: zeta\nStatus: install ok installed\nArchitecture: amd64\nVersion: 1:2.3-1\nDescription: x\n Version: not this\n\n"
               "Package: zeta\nStatus: deinstall ok config-files\nArchitecture: i386\nVersion: 0.1\n");

    tree.write("usr/share/applications/beta.desktop", application("Beta", "Icon=beta-icon\n"));

    const auto applications = service.installedApplications();
    std::vector<std::string> names;
    for (const auto& each : applications) names.push_back(each.name.toStdString());
    // The user's copy of alpha stands in for the system's.
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Tool", "zeta"}));

    const InstalledApplication& alpha = applications[0];
    EXPECT_EQ(alpha.path, userAlpha);
    EXPECT_EQ(alpha.id, alpha.path.string());
    EXPECT_EQ(alpha.desktopFileID, "alpha");
    EXPECT_EQ(alpha.version, "\u2014");
    EXPECT_EQ(alpha.size, allocated(alpha.path));
    EXPECT_EQ(alpha.iconName, "");
    EXPECT_EQ(applications[1].iconName, "beta-icon");
    EXPECT_EQ(applications[2].desktopFileID, "Tool");

    const InstalledApplication& zeta = applications[3];
    EXPECT_EQ(zeta.version, "1:2.3-1");  // never the entry's own Version key
    EXPECT_EQ(zeta.size, allocated(zeta.path) + allocated(binary) + allocated(data) + allocated(hidden));

    SettingsStore::shared().setValue("appLanguage", "ar");
    fs::remove(userAlpha);
    const auto arabic = service.installedApplications();
    EXPECT_TRUE(std::any_of(arabic.begin(), arabic.end(), [](const auto& each) { return each.name == QString::fromUtf8("ألفا"); }));
}

// The desktop shows one application per desktop-file id: the user's entry first, then the system
// folders in their order; an entry that hides its application hides the system's entry too. Entries
// that start the same command are one application, and entries for other desktops are not shown.
TEST_F(UninstallerServiceTest, OneApplicationPerDesktopFileID) {
    tree.write("usr/share/applications/editor.desktop", application("Editor", "Exec=editor-old\n"));
    const fs::path local = tree.write("usr/local/share/applications/editor.desktop", application("Editor", "Exec=editor\n"));
    tree.write("usr/share/applications/game.desktop", application("Game", "Exec=game\n"));
    tree.write("home/.local/share/applications/game.desktop", application("Game", "Hidden=true\n"));
    tree.write("usr/share/applications/viewer.desktop", application("Viewer", "Exec=viewer\n"));
    tree.write("home/.local/share/applications/viewer.desktop", application("Viewer", "NoDisplay=true\n"));
    const fs::path mine = tree.write("home/.local/share/applications/player.desktop", application("Player", "Exec=player\n"));
    tree.write("usr/share/applications/player.desktop", application("Player", "Exec=player\n"));

    // Two ids that start one command ("xdg-open %f" opens a file whatever it is) are two applications.
    const fs::path paint = tree.write("usr/share/applications/org.example.Paint.desktop", application("Paint", "Exec=paint  %U\n"));
    const fs::path myPaint = tree.write("home/.local/share/applications/my-paint.desktop", application("My Paint", "Exec=paint %U\n"));
    const fs::path viewer = tree.write("usr/share/applications/viewer-a.desktop", application("Viewer A", "Exec=xdg-open %f\n"));
    const fs::path editor = tree.write("usr/share/applications/editor-b.desktop", application("Editor B", "Exec=xdg-open %f\n"));
    // Entries for another desktop only, as the desktop's menus show them.
    tree.write("usr/share/applications/monitor.desktop", application("Monitor", "Exec=monitor\nNotShowIn=KDE;\n"));
    tree.write("usr/share/applications/monitor-kde.desktop", application("KDE Monitor", "Exec=monitor-kde\nOnlyShowIn=KDE;\n"));

    auto paths = [&] {
        std::vector<fs::path> found;
        for (const auto& each : service.installedApplications()) found.push_back(each.path);
        return found;
    };
    ::unsetenv("XDG_CURRENT_DESKTOP");
    EXPECT_EQ(paths(), (std::vector<fs::path>{local, editor, tree.path() / "usr/share/applications/monitor.desktop", myPaint, paint, mine, viewer}));
    ::setenv("XDG_CURRENT_DESKTOP", "ubuntu:KDE", 1);
    EXPECT_EQ(paths(), (std::vector<fs::path>{local, editor, tree.path() / "usr/share/applications/monitor-kde.desktop", myPaint, paint, mine, viewer}));
    ::unsetenv("XDG_CURRENT_DESKTOP");
}

TEST_F(UninstallerServiceTest, MissingFoldersGiveNothing) {
    EXPECT_TRUE(service.installedApplications().empty());
    tree.write("usr/local/share/applications/only.desktop", application("Only"));
    ASSERT_EQ(service.installedApplications().size(), 1u);
}

// The example of the uninstaller's rules, with the Linux folders in place of the library's.
TEST_F(UninstallerServiceTest, FindsLeftoversByFixedNamesAndByMatching) {
    const InstalledApplication tool = userApplication("x.y.Tool", "Tool");
    tree.file("home/.cache/x.y.Tool/blob", 50000);
    tree.file("home/.cache/x.y.tool.agent/blob", 8000);
    tree.file("home/.cache/x.y.Tool/.hidden-blob", 60000);  // hidden, and moved with its folder all the same
    fs::create_symlink(tree.file("elsewhere", 2 << 20), home(".cache/x.y.Tool/link"));  // never followed
    tree.file("home/.local/share/Tool Log.txt", 120000);
    tree.file("home/.config/x.y.Tool", 3000);  // the fixed candidate; the matching search skips it
    tree.file("home/.local/state/x.y.Tool/window", 12000);
    tree.file("home/.var/app/x.y.Tool/data", 30000);
    tree.file("home/.cache/x.y.tool\xff-odd", 1000);  // a name that is not UTF-8 keeps its bytes
    tree.file("home/.cache/unrelated/blob", 500000);

    const auto artifacts = service.artifacts(tool);
    ASSERT_EQ(artifacts.size(), 8u);
    EXPECT_EQ(artifacts[0].path, tool.path);
    EXPECT_EQ(artifacts[0].category, ArtifactCategory::application);
    EXPECT_TRUE(artifacts[0].isSelected);  // the user's own entry
    // By size; the preference file and the odd name are equally large and keep the order they were found in.
    EXPECT_EQ(urls(artifacts), (std::vector<fs::path>{tool.path, home(".local/share/Tool Log.txt"), home(".cache/x.y.Tool"), home(".var/app/x.y.Tool"),
                                                      home(".local/state/x.y.Tool"), home(".cache/x.y.tool.agent"), home(".config/x.y.Tool"),
                                                      home(".cache/x.y.tool\xff-odd")}));
    for (size_t i = 2; i < artifacts.size(); ++i) EXPECT_GE(artifacts[i - 1].size, artifacts[i].size);
    EXPECT_EQ(artifacts[1].category, ArtifactCategory::support);
    EXPECT_EQ(artifacts[2].category, ArtifactCategory::cache);
    EXPECT_EQ(artifacts[2].size, du(home(".cache/x.y.Tool")));
    EXPECT_GT(artifacts[2].size, allocated(home(".cache/x.y.Tool/blob")) + allocated(home(".cache/x.y.Tool/.hidden-blob")));
    EXPECT_EQ(artifacts[3].category, ArtifactCategory::container);
    EXPECT_EQ(artifacts[4].category, ArtifactCategory::savedState);
    EXPECT_EQ(artifacts[5].category, ArtifactCategory::cache);
    EXPECT_EQ(artifacts[6].category, ArtifactCategory::preference);
    EXPECT_EQ(artifacts[7].category, ArtifactCategory::cache);
    // Named after the application, so ticked; the log's and the agent's names only begin with a key,
    // and the odd name only holds one.
    for (size_t i = 0; i < artifacts.size(); ++i) EXPECT_EQ(artifacts[i].isSelected, i != 1 && i != 5 && i != 7) << artifacts[i].path;

    // Each listing makes new identities.
    EXPECT_NE(service.artifacts(tool)[1].id, artifacts[1].id);
}

TEST_F(UninstallerServiceTest, UnsafeKeysNeverReachTheBaseFolders) {
    for (const char* folder : {".cache/google-chrome", ".cache/goa-1.0", ".config/go", ".local/share/fonts", ".local/share/applications",
                               ".local/share/Trash", ".config/autostart", ".local/state/x"})
        tree.file(std::string("home/") + folder + "/file", 100);
    const std::vector<fs::path> bases{tree.path(), home(""), home(".cache"), home(".config"), home(".local/share"), home(".local/state"),
                                      home(".var/app"), home(".local"), home(".local/share/applications")};
    auto isBaseOrAbove = [&](const fs::path& url) {
        const std::string item = url.lexically_normal().native();
        return std::any_of(bases.begin(), bases.end(), [&](const fs::path& base) { return (base.lexically_normal().native() + "/").starts_with(item); });
    };

    const std::vector<std::pair<std::string, std::string>> keys{
        {"", ""}, {".", "."}, {"..", ".."}, {"a/b", "a/b"}, {"../..", "../.."}, {"org.gnome.font-viewer", "Fonts"},
        {"ok.app", "Applications"}, {"ok.trash", "Trash"}, {"ok.auto", "autostart"},
    };
    for (const auto& [identifier, name] : keys) {
        InstalledApplication app{"", QString::fromStdString(name), QString::fromStdString(identifier), "\u2014", home(".local/share/applications/missing.desktop"), 0, {}};
        const auto artifacts = service.artifacts(app);
        EXPECT_TRUE(artifacts.empty()) << identifier << " / " << name << " proposed " << (artifacts.empty() ? "" : artifacts[0].path.string());
        for (const auto& artifact : artifacts) EXPECT_FALSE(isBaseOrAbove(artifact.path)) << artifact.path;
    }

    // An application record that names a base folder as itself is not proposed either.
    for (const fs::path& url : {home(""), home(".local/share"), tree.path(), fs::path("/")}) {
        InstalledApplication bogus{url.string(), "Bogus", "org.bogus", "\u2014", url, 0, {}};
        EXPECT_TRUE(service.artifacts(bogus).empty()) << url;
    }
}

TEST_F(UninstallerServiceTest, APackagedApplicationIsListedLockedAndNeverMoved) {
    const fs::path entry = tree.write("usr/share/applications/zeta.desktop", application("Zeta"));
    tree.file("usr/bin/zeta", 50000);
    tree.write("var/lib/dpkg/info/zeta.list", "/usr/share/applications/zeta.desktop\n/usr/bin/zeta\n");
    tree.file("home/.config/zeta/settings", 100);
    const auto applications = service.installedApplications();
    ASSERT_EQ(applications.size(), 1u);

    const auto artifacts = service.artifacts(applications[0]);
    ASSERT_EQ(artifacts.size(), 2u);
    EXPECT_EQ(artifacts[0].path, entry);
    EXPECT_EQ(artifacts[0].size, applications[0].size);  // what the application owns, as in the list
    EXPECT_GT(artifacts[0].size, allocated(entry));
    EXPECT_FALSE(artifacts[0].isSelected);
    EXPECT_EQ(artifacts[0].package, "zeta");
    // The application stays installed, so its settings are still in use: listed, not ticked.
    EXPECT_FALSE(artifacts[1].isSelected);
    EXPECT_FALSE(artifacts[1].isLocked());

    // Ticked anyway (a stale or forged list), the package's file stays: only the package manager
    // removes it. The user's own leftover goes.
    auto ticked = artifacts;
    for (AppArtifact& artifact : ticked) artifact.isSelected = true;
    EXPECT_EQ(service.moveToTrash(ticked), (std::vector<fs::path>{home(".local/share/Trash/files/zeta")}));
    EXPECT_TRUE(fs::exists(entry));

    // Once the package is gone, what it left in the home folder is a leftover like any other.
    tree.file("home/.config/zeta/settings", 100);
    fs::remove(entry);
    const auto left = service.artifacts(applications[0]);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].isSelected);
}

// A user's copy of an entry (an edited launcher, a pinned one) masks the entry of its id behind it:
// moving the copy only brings that launcher back, so the application stays installed, packaged or
// not, and nothing of it is preselected. An entry only the user has is theirs to remove, even when
// their folder is listed among the system's too.
TEST_F(UninstallerServiceTest, AUsersCopyOfAnEntryLeavesItsApplicationInstalled) {
    tree.write("usr/share/applications/htop.desktop", application("Htop"));
    tree.write("var/lib/dpkg/info/htop.list", "/usr/share/applications/htop.desktop\n");
    const fs::path htop = tree.write("home/.local/share/applications/htop.desktop", application("Htop", "Terminal=true\n"));
    tree.file("home/.config/htop/htoprc", 100);
    tree.write("usr/local/share/applications/tool.desktop", application("Tool"));
    const fs::path tool = tree.write("home/.local/share/applications/tool.desktop", application("Tool"));
    tree.file("home/.config/tool/settings", 100);
    const fs::path solo = tree.write("home/.local/share/applications/solo.desktop", application("Solo"));
    tree.file("home/.config/solo/settings", 100);
    auto ticks = [&](const InstalledApplication& application) {
        Items items;
        for (const AppArtifact& artifact : service.artifacts(application)) items.emplace_back(artifact.path, artifact.isSelected);
        return items;
    };

    auto applications = applicationsByID();
    ASSERT_EQ(applications.size(), 3u);
    EXPECT_EQ(applications["htop"].path, htop);
    EXPECT_TRUE(applications["htop"].staysInstalled);
    EXPECT_EQ(ticks(applications["htop"]), (Items{{htop, false}, {home(".config/htop"), false}}));
    EXPECT_FALSE(service.artifacts(applications["htop"])[0].isLocked());  // the copy is the user's to move
    EXPECT_EQ(applications["tool"].path, tool);
    EXPECT_TRUE(applications["tool"].staysInstalled);
    EXPECT_EQ(ticks(applications["tool"]), (Items{{tool, false}, {home(".config/tool"), false}}));
    EXPECT_FALSE(applications["solo"].staysInstalled);
    EXPECT_EQ(ticks(applications["solo"]), (Items{{solo, true}, {home(".config/solo"), true}}));

    SystemRoots twice = SystemRoots::fixture(tree.path());
    twice.dataDirs.insert(twice.dataDirs.begin(), twice.dataHome);
    SystemRoots::install(twice);
    applications = applicationsByID();
    EXPECT_FALSE(applications["solo"].staysInstalled);
    EXPECT_TRUE(applications["tool"].staysInstalled);
}

// A package's file is known by what it is, not by the text of the path it was reached by: a data
// folder reached through a link, whole or part way down, still shows it locked, and it stays. A
// link that is itself the entry is the user's own, and goes as the link it is.
TEST_F(UninstallerServiceTest, ALinkAboveAPackagedFileNeverUnlocksIt) {
    const fs::path entry = tree.write("usr/share/applications/zeta.desktop", application("Zeta"));
    tree.write("var/lib/dpkg/info/zeta.list", "/usr/share/applications/zeta.desktop\n");
    fs::create_directories(home(""));
    fs::create_symlink(tree.path() / "usr/share", home("alias"));
    fs::create_symlink(tree.path() / "usr", home("middle"));
    for (const fs::path& dataDir : {home("alias"), home("middle/share")}) {
        SystemRoots linked = SystemRoots::fixture(tree.path());
        linked.dataDirs = {dataDir};
        SystemRoots::install(linked);
        const auto applications = service.installedApplications();
        ASSERT_EQ(applications.size(), 1u) << dataDir;
        EXPECT_EQ(applications[0].path, dataDir / "applications/zeta.desktop");
        auto artifacts = service.artifacts(applications[0]);
        ASSERT_EQ(artifacts.size(), 1u) << dataDir;
        EXPECT_EQ(artifacts[0].package, "zeta") << dataDir;
        EXPECT_TRUE(artifacts[0].isLocked());
        artifacts[0].isSelected = true;
        EXPECT_TRUE(service.moveToTrash(artifacts).empty()) << dataDir;
        EXPECT_TRUE(fs::is_regular_file(entry));
    }

    SystemRoots::install(SystemRoots::fixture(tree.path()));
    const fs::path own = home(".local/share/applications/zeta.desktop");
    fs::create_directories(own.parent_path());
    fs::create_symlink(entry, own);
    const auto applications = service.installedApplications();
    ASSERT_EQ(applications.size(), 1u);
    EXPECT_EQ(applications[0].path, own);  // the user's entry shadows the system's
    auto artifacts = service.artifacts(applications[0]);
    ASSERT_EQ(artifacts.size(), 1u);
    EXPECT_FALSE(artifacts[0].isLocked());
    EXPECT_FALSE(artifacts[0].isSelected);  // the system's entry shows again once it goes
    artifacts[0].isSelected = true;
    EXPECT_EQ(service.moveToTrash(artifacts), (std::vector<fs::path>{home(".local/share/Trash/files/zeta.desktop")}));
    EXPECT_TRUE(fs::is_symlink(home(".local/share/Trash/files/zeta.desktop")));
    EXPECT_TRUE(fs::is_regular_file(entry));
}

// Root may write anywhere, so the check runs in a child that dropped to an unprivileged user.
TEST_F(UninstallerServiceTest, AnApplicationInAFolderTheUserCannotChangeIsNotPreselected) {
    const fs::path entry = tree.write("usr/local/share/applications/free.desktop", application("Free"));
    tree.file("home/.config/free/settings", 100);  // stays in use while the application does
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const InstalledApplication app{entry.string(), "Free", "free", "\u2014", entry, 0, {}};
    auto noneTicked = [](const std::vector<AppArtifact>& artifacts) {
        return artifacts.size() == 2 && std::none_of(artifacts.begin(), artifacts.end(), [](const AppArtifact& each) { return each.isSelected; });
    };

    if (::geteuid() != 0) {
        fs::permissions(entry.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
        const auto artifacts = service.artifacts(app);
        fs::permissions(entry.parent_path(), fs::perms::owner_write, fs::perm_options::add);
        EXPECT_TRUE(noneTicked(artifacts));
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        ::_exit(noneTicked(service.artifacts(app)) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The same entry in a folder the user may change is preselected, and its leftovers with it.
    const auto artifacts = service.artifacts(app);
    ASSERT_EQ(artifacts.size(), 2u);
    EXPECT_TRUE(artifacts[0].isSelected);
    EXPECT_TRUE(artifacts[1].isSelected);
}

// One item that cannot go never keeps the others, a link goes as the link it is whatever it points
// at, and the message names what failed after what went.
TEST_F(UninstallerServiceTest, RemovalMovesEveryItemItCanAndNamesWhatFailed) {
    const fs::path trash = home(".local/share/Trash");
    const InstalledApplication app = userApplication("org.example.App", "Example");
    tree.file("home/.cache/org.example.App/blob", 40000);
    tree.file("home/.config/org.example.App/settings", 100);
    fs::create_symlink(home("nowhere"), home(".config/org.example.App.old"));

    auto artifacts = service.artifacts(app);
    ASSERT_EQ(artifacts.size(), 4u);
    for (auto& artifact : artifacts) artifact.isSelected = false;
    EXPECT_TRUE(service.moveToTrash(artifacts).empty());
    EXPECT_FALSE(fs::exists(trash));

    // The cache folder disappears before the removal; the items after it go all the same.
    for (auto& artifact : artifacts) artifact.isSelected = true;
    fs::remove_all(home(".cache/org.example.App"));
    try {
        service.moveToTrash(artifacts);
        FAIL() << "a missing item was reported as moved";
    } catch (const UninstallError& error) {
        EXPECT_EQ(error.movedLocations(), (std::vector<fs::path>{trash / "files/org.example.App.desktop", trash / "files/org.example.App",
                                                                 trash / "files/org.example.App.old"}));
        ASSERT_EQ(error.failures().size(), 1u);
        EXPECT_EQ(error.failures()[0].systemError(), ENOENT);
        EXPECT_EQ(errorDescription(std::current_exception()),
                  AppLocalization::format("uninstaller.movedCount", {3}) + "\n" +
                      AppLocalization::format("trash.failed", {"org.example.App", QString::fromLocal8Bit(std::strerror(ENOENT))}));
    }
    EXPECT_FALSE(fs::exists(app.path));
    EXPECT_FALSE(fs::exists(home(".config/org.example.App")));
    EXPECT_TRUE(fs::is_symlink(trash / "files/org.example.App.old"));

    // Nothing moved: only the failure.
    try {
        service.moveToTrash({artifacts[1]});
        FAIL();
    } catch (const UninstallError& error) {
        EXPECT_TRUE(error.movedLocations().empty());
        EXPECT_FALSE(errorDescription(std::current_exception()).contains("\n"));
    }
}

// Program names on Linux are short and shared: every entry whose name holds a key is listed, but
// only those named after the application (a key, or a file's key with its extension) are ticked.
TEST_F(UninstallerServiceTest, OnlyEntriesNamedAfterTheApplicationAreTicked) {
    const InstalledApplication vim = userApplication("vim", "Vim");
    for (const char* item : {".config/nvim/init.lua", ".local/share/nvim/site/x", ".local/share/vimwiki/notes.md", ".config/gvim-rc/x", ".cache/vim/swap",
                             ".cache/vim.log", ".local/share/vim_backup/x", ".config/Vim Tips/x"})
        tree.file(std::string("home/") + item, 100);
    std::map<fs::path, bool> ticks;
    for (const AppArtifact& artifact : service.artifacts(vim)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{vim.path, true},
                                               {home(".config/nvim"), false},
                                               {home(".local/share/nvim"), false},
                                               {home(".local/share/vimwiki"), false},
                                               {home(".config/gvim-rc"), false},
                                               {home(".cache/vim"), true},
                                               {home(".cache/vim.log"), true},
                                               {home(".local/share/vim_backup"), false},
                                               {home(".config/Vim Tips"), false}}));

    const InstalledApplication maps = userApplication("org.gnome.Maps", "Maps");
    for (const char* item : {".cache/org.gnome.Maps.Devel/x", ".config/mapsforge/x", ".local/share/maps/x", ".local/share/mymaps/x"})
        tree.file(std::string("home/") + item, 100);
    ticks.clear();
    for (const AppArtifact& artifact : service.artifacts(maps)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{maps.path, true},
                                               {home(".cache/org.gnome.Maps.Devel"), false},
                                               {home(".config/mapsforge"), false},
                                               {home(".local/share/maps"), true},
                                               {home(".local/share/mymaps"), false}}));
}

// A key of one or two letters finds only what is named after it, whole or before a separator, and
// ticks only the whole name; its letters inside another name say nothing.
TEST_F(UninstallerServiceTest, AShortKeyFindsOnlyItemsNamedAfterIt) {
    const InstalledApplication qv = userApplication("qv", "Quick Viewer");
    for (const char* item : {".config/qv/rc", ".cache/qv-data/x", ".local/share/QV.log", ".local/share/aqva/x", ".cache/qvx/x", ".config/q v/x",
                             ".local/share/quickviewer/x", ".cache/myquickviewer/x"})
        tree.file(std::string("home/") + item, 100);
    std::map<fs::path, bool> ticks;
    for (const AppArtifact& artifact : service.artifacts(qv)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{qv.path, true},
                                               {home(".config/qv"), true},
                                               {home(".cache/qv-data"), false},
                                               {home(".local/share/QV.log"), true},
                                               {home(".config/q v"), true},
                                               {home(".local/share/quickviewer"), true},
                                               {home(".cache/myquickviewer"), false}}));

    // A short name works the same way, and no key reaches a base folder.
    for (const char* item : {".cache/google-chrome/x", ".cache/goa-1.0/x", ".config/go/x", ".local/state/x/x"}) tree.file(std::string("home/") + item, 100);
    InstalledApplication go{"", "G o", "x", "\u2014", home(".local/share/applications/missing.desktop"), 0, {}};
    std::vector<fs::path> found = urls(service.artifacts(go));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<fs::path>{home(".config/go"), home(".local/state/x")}));
}

// The removal moves only the items it listed: another file or folder put under a listed name since
// stays, named as changed, and the others go. A folder that was only used meanwhile is the same folder.
TEST_F(UninstallerServiceTest, AnItemReplacedSinceTheListingStays) {
    const fs::path trash = home(".local/share/Trash");
    const InstalledApplication app = userApplication("org.example.App", "Example");
    tree.file("home/.cache/org.example.App/blob", 40000);
    tree.file("home/.config/org.example.App/settings", 100);
    tree.file("home/.local/share/org.example.App.log", 300);
    tree.file("home/.local/state/org.example.App/window", 200);
    const auto artifacts = service.artifacts(app);
    ASSERT_EQ(artifacts.size(), 5u);

    fs::rename(home(".cache/org.example.App"), home(".cache/aside"));  // another folder of the same name
    tree.file("home/.cache/org.example.App/blob", 40000);
    tree.write("home/.local/share/org.example.App.log", "rewritten");  // the same file, other content
    tree.file("home/.config/org.example.App/more", 5000);  // used, not replaced
    fs::remove_all(home(".local/state/org.example.App"));
    fs::create_symlink(home(".cache/aside"), home(".local/state/org.example.App"));  // a link in a folder's place

    try {
        service.moveToTrash(artifacts);
        FAIL() << "replaced items were moved";
    } catch (const UninstallError& error) {
        EXPECT_EQ(error.movedLocations(), (std::vector<fs::path>{trash / "files/org.example.App.desktop", trash / "files/org.example.App"}));
        std::vector<fs::path> changed;
        for (const TrashError& failure : error.failures()) {
            EXPECT_EQ(failure.reason(), TrashError::Reason::changed);
            changed.push_back(failure.item());
        }
        std::sort(changed.begin(), changed.end());
        EXPECT_EQ(changed, (std::vector<fs::path>{home(".cache/org.example.App"), home(".local/share/org.example.App.log"),
                                                  home(".local/state/org.example.App")}));
        EXPECT_TRUE(errorDescription(std::current_exception()).contains(AppLocalization::format("trash.changed", {"org.example.App.log"})));
    }
    EXPECT_TRUE(fs::exists(home(".cache/org.example.App/blob")));
    EXPECT_TRUE(fs::exists(home(".local/share/org.example.App.log")));
    EXPECT_TRUE(fs::is_symlink(home(".local/state/org.example.App")));
    EXPECT_TRUE(fs::exists(trash / "files/org.example.App/more"));
}

// However many items the Trash refused, the message names a few and counts the rest.
TEST(ErrorDescription, ARemovalWithManyFailuresStaysReadable) {
    std::vector<TrashError> failures;
    for (int i = 0; i < 9; ++i) failures.emplace_back(TrashError::Reason::moveFailed, "/home/u/.cache/item" + std::to_string(i), EACCES);
    failures.emplace_back(TrashError::Reason::trashFolder, "/home/u/.local/share/Trash", EINVAL);
    const QStringList lines = errorDescription(std::make_exception_ptr(UninstallError(failures, {"/t/1"}))).split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], AppLocalization::format("uninstaller.movedCount", {1}));
    EXPECT_EQ(lines[1], AppLocalization::format("trash.failed", {"item0", QString::fromLocal8Bit(std::strerror(EACCES))}));
    EXPECT_EQ(lines[6], AppLocalization::format("tools.andMore", {5}));
}

// A file system error names its paths; shown, they read as stored.
TEST(ErrorDescription, APathInAFileSystemErrorShowsItsReorderingControls) {
    const std::filesystem::filesystem_error error("cannot rename", fs::path("/home/u/a\u202Efdp.exe"), std::make_error_code(std::errc::file_exists));
    const QString shown = errorDescription(std::make_exception_ptr(error));
    EXPECT_FALSE(shown.contains(QChar(0x202E))) << shown.toStdString();
    EXPECT_TRUE(shown.contains("a[U+202E]fdp.exe")) << shown.toStdString();
}

// One rule for every kind of install: an application goes only with its own program, one file of
// the user's that stands alone (an AppImage, a program in the user's program folders), that no other
// entry runs and that is named after it; or, when the user chooses it, with the folder it was
// unpacked into. Whatever else an entry runs is not listed; nothing of an application that stays is
// ticked, nor anything that holds another application; every size is what would move, hidden
// contents included.
TEST_F(UninstallerServiceTest, AnApplicationGoesOnlyWithItsOwnProgram) {
    auto link = [&](const fs::path& target, const std::string& relative) {
        fs::create_directories(home(relative).parent_path());
        fs::create_symlink(target, home(relative));
        return home(relative);
    };
    auto entry = [&](const std::string& relative, const std::string& name, const std::string& keys) {
        return tree.write(relative, "[Desktop Entry]\nType=Application\nName=" + name + "\n" + keys);
    };
    auto userEntry = [&](const std::string& id, const std::string& name, const std::string& keys) {
        return entry("home/.local/share/applications/" + id + ".desktop", name, keys);
    };
    tree.file("usr/bin/flatpak", 4000);
    tree.file("usr/games/steam", 4000);
    tree.file("usr/bin/wine", 4000);

    // Programs that stand alone and are named after their application.
    const fs::path foo = appImage(tree, "home/Applications/Foo-1.2-x86_64.AppImage", 500000);
    const fs::path fooEntry = userEntry("foo", "Foo", "Exec=~/Applications/Foo-1.2-x86_64.AppImage %U\n");
    const fs::path fooData = tree.file("home/.config/Foo/settings", 3000).parent_path();
    const fs::path bar = appImage(tree, "home/Applications/bar-2.0-x86_64.AppImage", 300000);
    const fs::path barEntry = userEntry("appimagekit_77ab-Bar", "Bar", "Exec=\"/home/Applications/bar-2.0-x86_64.AppImage\" %U\nX-AppImage-Version=2.0\n");
    const fs::path mytool = tree.file("home/.local/bin/mytool", 20000);
    const fs::path mytoolEntry = userEntry("mytool", "MyTool", "Exec=env LANG=C mytool --gui\n");
    const fs::path alacritty = tree.file("home/.cargo/bin/alacritty", 90000);
    tree.file("home/.cargo/registry/cache/x", 100);
    const fs::path alacrittyEntry = userEntry("Alacritty", "Alacritty", "Exec=~/.cargo/bin/alacritty\n");
    // Reached through a linked folder of the home: the file itself still stands alone.
    link(home("Applications"), "Linked");
    const fs::path qux = appImage(tree, "home/Applications/qux.AppImage", 40000);
    const fs::path quxEntry = userEntry("qux", "Qux", "Exec=~/Linked/qux.AppImage\n");

    const fs::path spaced = tree.file("home/My Apps/spaced", 30000);
    const fs::path spacedEntry = userEntry("spaced", "Spaced", "Exec=\"/home/My Apps/spaced\" --new-window %U\n");
    // Not the user's: a path relative to nobody knows where, a folder beside the home folder whose
    // name starts with the home's, a file a package installed into the home folder.
    tree.file("home/Apps/relative", 9000);
    const fs::path relativeEntry = userEntry("relative", "relative", "Exec=Apps/relative\n");
    tree.file("homestead/tool", 9000);
    const fs::path homesteadEntry = userEntry("homestead", "tool", "Exec=/homestead/tool\n");
    tree.file("home/Apps/packaged", 80000);
    tree.write("var/lib/dpkg/info/vendor.list", "/home/Apps/packaged\n");
    const fs::path packagedEntry = userEntry("packaged", "packaged", "Exec=~/Apps/packaged\n");

    // Runners, named by their path or found on the path: they serve more than one entry.
    tree.file("home/miniconda3/bin/python3", 300000);
    tree.file("home/miniconda3/bin/conda", 2000);
    tree.file("home/miniconda3/bin/Rscript", 2000);
    tree.folder("home/miniconda3/conda-meta");
    tree.folder("home/miniconda3/lib");
    const fs::path condaEntry = userEntry("dataapp", "DataApp", "Exec=~/miniconda3/bin/conda run -n ds python ~/proj/app.py\n");
    const fs::path condaData = tree.file("home/.config/DataApp/state", 3000).parent_path();
    const fs::path shinyEntry = userEntry("shiny", "Rscript", "Exec=~/miniconda3/bin/Rscript ~/shiny/app.R\n");
    link(home("miniconda3/bin"), "Tools");
    tree.file("home/miniconda3/bin/datatool", 2000);
    const fs::path datatoolEntry = userEntry("datatool", "datatool", "Exec=~/Tools/datatool\n");
    tree.file("home/.local/bin/uv", 30000);
    const fs::path uvEntry = userEntry("proj", "Proj", "Exec=~/.local/bin/uv run --project ~/proj app\n");
    link(tree.file("home/.local/lib/node_modules/npm/bin/npx-cli.js", 3000), ".local/bin/npx");
    const fs::path npxEntry = userEntry("electron-app", "npx", "Exec=~/.local/bin/npx electron ~/proj\n");
    // Programs installed into a tree of their own tool, reached by a link or a script.
    link(tree.file("home/.local/pipx/venvs/black/bin/black", 3000), ".local/bin/black");
    tree.write("home/.local/pipx/venvs/black/pyvenv.cfg", "home = /usr/bin\n");
    const fs::path blackEntry = userEntry("black", "Black", "Exec=black\n");
    tree.file("home/.local/bin/isort", 300);  // a plain file, which pip lists as its package's
    tree.write("home/.local/lib/python3.11/site-packages/isort-5.13.dist-info/RECORD", "isort/__init__.py,sha256=x,10\n../../../bin/isort,sha256=y,300\n");
    const fs::path isortEntry = userEntry("isort", "isort", "Exec=isort\n");
    link(tree.file("home/.npm-global/lib/node_modules/gizmo/bin/gizmo.js", 3000), ".npm-global/bin/gizmo");
    const fs::path gizmoEntry = userEntry("gizmo", "Gizmo", "Exec=/home/.npm-global/bin/gizmo\n");
    tree.file("home/.local/share/JetBrains/Toolbox/apps/pycharm/bin/pycharm.sh", 3000);
    tree.folder("home/.local/share/JetBrains/Toolbox/apps/pycharm/lib");
    const fs::path pycharmEntry = userEntry("jetbrains-pycharm", "PyCharm", "Exec=~/.local/share/JetBrains/Toolbox/apps/pycharm/bin/pycharm.sh %f\n");

    // A launcher keeps the game; Wine keeps its program.
    const fs::path stardewEntry = userEntry("Stardew Valley", "Stardew Valley", "Exec=steam steam://rungameid/413150\n");
    const fs::path saves = tree.file("home/.config/StardewValley/Saves/farm", 300000).parent_path().parent_path();
    // A launcher no path reaches (a Flatpak's own) handed an address.
    const fs::path terrariaEntry = userEntry("net.lutris.terraria-2", "Terraria", "Exec=env LUTRIS_SKIP_INIT=1 lutris lutris:rungameid/2\n");
    const fs::path worlds = tree.file("home/.local/share/Terraria/Worlds/world.wld", 90000).parent_path().parent_path();
    const fs::path notepadEntry = userEntry("wine/Programs/Notepad++", "Notepad++", "Exec=env WINEPREFIX=\"/home/.wine\" wine C:\\\\np.exe\n");

    // Flatpak, per user and system-wide, and Snap: only their own tools remove them.
    const std::string thunderbird = "org.mozilla.Thunderbird";
    const fs::path deployed = home(".local/share/flatpak/app/" + thunderbird);
    const fs::path exported = entry("home/.local/share/flatpak/app/" + thunderbird + "/current/active/export/share/applications/" + thunderbird + ".desktop",
                                    "Thunderbird", "Exec=/usr/bin/flatpak run --command=thunderbird " + thunderbird + " @@u %u @@\n");
    tree.file("home/.local/share/flatpak/app/" + thunderbird + "/current/active/files/lib/thunderbird", 200000);
    const fs::path thunderbirdEntry = link(exported, ".local/share/flatpak/exports/share/applications/" + thunderbird + ".desktop");
    const fs::path mail = home(".var/app/" + thunderbird);
    const fs::path inbox = tree.file("home/.var/app/" + thunderbird + "/.thunderbird/profile/Mail/inbox", 700000);
    fs::create_hard_link(inbox, inbox.parent_path() / "inbox.backup");
    const fs::path mapsEntry = entry("var/lib/flatpak/exports/share/applications/org.gnome.Maps.desktop", "Maps", "Exec=flatpak run org.gnome.Maps\nX-Flatpak=org.gnome.Maps\n");
    const fs::path mapsDeployed = tree.file("var/lib/flatpak/app/org.gnome.Maps/current/active/files/bin/maps", 50000).parent_path().parent_path().parent_path().parent_path().parent_path();
    const fs::path mapsData = tree.file("home/.var/app/org.gnome.Maps/.config/state", 2000).parent_path().parent_path();
    const fs::path firefoxEntry = entry("var/lib/snapd/desktop/applications/firefox_firefox.desktop", "Firefox", "Exec=env BAMF_DESKTOP_FILE_HINT=x /snap/bin/firefox %u\n");
    const fs::path firefoxSnap = tree.file("var/lib/snapd/snaps/firefox_4000.snap", 80000);

    // A package, a user's copy of a packaged entry, and an AppImage of the same application.
    const fs::path htopEntry = entry("usr/share/applications/htop.desktop", "Htop", "Exec=htop\n");
    tree.file("usr/bin/htop", 60000);
    entry("usr/share/applications/gedit.desktop", "Gedit", "Exec=gedit %U\n");
    tree.file("usr/bin/gedit", 10000);
    tree.write("var/lib/dpkg/info/htop.list", "/usr/share/applications/htop.desktop\n/usr/bin/htop\n");
    tree.write("var/lib/dpkg/info/gedit.list", "/usr/share/applications/gedit.desktop\n/usr/bin/gedit\n");
    const fs::path geditCopy = userEntry("gedit", "Gedit", "Exec=gedit --new-window %U\n");
    const fs::path htopConfig = tree.file("home/.config/htop/htoprc", 1000).parent_path();
    // AppImageLauncher's entry without the hash: the ID names the application.
    const fs::path htopImage = appImage(tree, "home/Applications/htop-3.3.0-x86_64.AppImage", 150000);
    const fs::path htopImageEntry = userEntry("appimagekit_htop", "htop (AppImage)", "Exec=~/Applications/htop-3.3.0-x86_64.AppImage\n");

    // One program, two entries, one of them hidden; an entry whose program is gone.
    tree.file("home/.local/bin/twin", 9000);
    const fs::path twinEntry = userEntry("twin", "Twin", "Exec=twin\n");
    userEntry("twin-settings", "Twin Settings", "Exec=twin --settings\nNoDisplay=true\n");
    const fs::path goneEntry = userEntry("gone", "Gone", "Exec=~/Applications/Gone.AppImage\n");
    const fs::path goneData = tree.file("home/.config/Gone/settings", 2000).parent_path();

    // Applications unpacked into a folder of their own: the folder is offered whole, never
    // preselected, and the application stays unless it is chosen.
    tree.file("home/firefox/libxul.so", 200000);
    tree.file("home/firefox/browser/omni.ja", 90000);
    tree.file("home/firefox/firefox", 9000);
    const fs::path firefoxOwn = home("firefox");
    const fs::path firefoxOwnEntry = userEntry("firefox", "Firefox", "Exec=~/firefox/firefox %u\n");
    tree.file("home/VSCode-linux-x64/code", 9000);
    tree.file("home/VSCode-linux-x64/resources/app/out/main.js", 80000);
    const fs::path codeEntry = userEntry("code", "Visual Studio Code", "Exec=~/VSCode-linux-x64/code --unity-launch %F\n");
    const fs::path codeData = tree.file("home/.config/Code/User/settings.json", 50000).parent_path().parent_path();
    // code-server's, named only beginning with the application's ID.
    const fs::path codeServerConfig = tree.file("home/.config/code-server/config.yaml", 20000).parent_path();
    const fs::path codeServerData = tree.file("home/.local/share/code-server/extensions/x", 10000).parent_path().parent_path();
    tree.file("home/Discord/Discord", 9000);
    tree.file("home/Discord/libffmpeg.so", 30000);
    const fs::path discordEntry = userEntry("discord", "Discord", "Exec=~/Discord/Discord\n");
    const fs::path discordData = tree.file("home/.config/discord/settings.json", 2000).parent_path();
    tree.file("home/localsend/localsend_app", 9000);
    tree.file("home/localsend/lib/libapp.so", 40000);
    tree.file("home/localsend/data/flutter_assets/AssetManifest.json", 3000);
    const fs::path localsendEntry = userEntry("org.localsend.localsend_app", "LocalSend", "Exec=~/localsend/localsend_app\n");
    const fs::path localsendData = tree.file("home/.local/share/org.localsend.localsend_app/state", 2000).parent_path();
    // itch: a script in front of its install; its settings hold the games it installed.
    executable(tree.file("home/.itch/app-25.5.1/itch", 100000));
    tree.file("home/.itch/app-25.5.1/resources/app.asar", 60000);
    executable(tree.write("home/.itch/itch", "#!/bin/sh\nexec \"$HOME/.itch/app-25.5.1/itch\" \"$@\"\n" + std::string(4000, '#') + "\n"));
    const fs::path itchEntry = userEntry("io.itch.itch", "itch", "Exec=~/.itch/itch %U\n");
    const fs::path itchData = tree.file("home/.config/itch/db/butler.db", 20000).parent_path().parent_path();
    executable(tree.file("home/.config/itch/apps/a-short-hike/AShortHike.x86_64", 80000));
    const fs::path hikeEntry = userEntry("io.itch.a-short-hike", "A Short Hike", "Exec=\"/home/.config/itch/apps/a-short-hike/AShortHike.x86_64\"\n");
    // Reached through a link above it, the folder offered is the real one; a name's odd bytes are kept.
    tree.file("home/opt/pulsar/pulsar", 9000);
    link(home("opt/pulsar"), "Pulsar");
    const fs::path pulsarEntry = userEntry("pulsar", "Pulsar", "Exec=~/Pulsar/pulsar\n");
    tree.file("home/Odd\xff App/run", 9000);
    const fs::path oddEntry = userEntry("odd", "Odd", "Exec=\"/home/Odd\xff App/run\"\n");
    // A tarball IDE: its program in bin/ beside lib/; the folder above is the application's.
    tree.write("home/idea-IC/bin/idea.sh", "#!/bin/sh\nexec \"$IDE_HOME/jbr/bin/java\" -jar \"$IDE_HOME/lib/app.jar\"\n");
    tree.file("home/idea-IC/lib/app.jar", 70000);
    executable(tree.file("home/idea-IC/jbr/bin/java", 30000));
    const fs::path ideaEntry = userEntry("jetbrains-idea-ce", "IntelliJ IDEA Community Edition", "Exec=~/idea-IC/bin/idea.sh %f\n");
    // Never offered: a folder of a version-controlled tree, a launcher's folder that holds a game
    // another entry runs.
    tree.file("home/src/tool/build/tool", 9000);
    tree.folder("home/src/tool/.git/objects");
    const fs::path builtEntry = userEntry("tool", "Tool", "Exec=~/src/tool/build/tool\n");
    tree.file("home/GameHub/gamehub", 9000);
    tree.file("home/GameHub/library/celeste/Celeste", 9000);
    const fs::path gamehubEntry = userEntry("gamehub", "GameHub", "Exec=~/GameHub/gamehub\n");
    const fs::path celesteEntry = userEntry("celeste", "Celeste", "Exec=~/GameHub/library/celeste/Celeste\n");
    // A script that starts a program elsewhere in the home is only a launcher.
    executable(tree.file("home/Games/nethack/nethack-bin", 9000));
    executable(tree.write("home/.local/bin/nethack", "#!/bin/sh\ncd ~/Games/nethack && exec ~/Games/nethack/nethack-bin \"$@\"\n"));
    const fs::path nethackEntry = userEntry("nethack", "NetHack", "Exec=~/.local/bin/nethack\n");

    // Decided each by one rule alone: a Node project, a Python and a conda environment, a program
    // named through a link, one another user owns, a FIFO in a program's place, a file named as an
    // AppImage without its mark.
    tree.file("home/webapp/launch", 2000);
    tree.file("home/webapp/node_modules/express/index.js", 2000);
    const fs::path webappEntry = userEntry("webapp", "launch", "Exec=~/webapp/launch\n");
    tree.file("home/ml/env/bin/trainer", 2000);
    tree.write("home/ml/env/pyvenv.cfg", "home = /usr/bin\n");
    const fs::path trainerEntry = userEntry("trainer", "trainer", "Exec=~/ml/env/bin/trainer\n");
    tree.file("home/anaconda3/bin/spyder", 2000);
    tree.file("home/anaconda3/conda-meta/history", 100);
    const fs::path spyderEntry = userEntry("spyder", "Spyder", "Exec=~/anaconda3/bin/spyder\n");
    tree.file("home/.local/bin/linked-2.1", 9000);
    link(home(".local/bin/linked-2.1"), ".local/bin/linked");
    const fs::path linkedEntry = userEntry("linked", "Linked", "Exec=~/.local/bin/linked\n");
    const fs::path sharedTool = tree.file("home/.local/bin/sharedtool", 9000);
    const bool chowned = ::chown(sharedTool.c_str(), 12345, 12345) == 0;
    const fs::path sharedEntry = userEntry("sharedtool", "SharedTool", "Exec=~/.local/bin/sharedtool\n");
    fs::create_directories(home("Pipe"));
    ASSERT_EQ(::mkfifo(home("Pipe/pipe.AppImage").c_str(), 0644), 0);
    const fs::path pipeEntry = userEntry("pipe", "pipe", "Exec=~/Pipe/pipe.AppImage\n");
    tree.file("home/Applications/Fake-1.0-x86_64.AppImage", 9000);
    const fs::path fakeEntry = userEntry("fake", "Fake", "Exec=~/Applications/Fake-1.0-x86_64.AppImage\n");

    // AppImages known by their mark and named as their entries are, however AppImageLauncher named those.
    const fs::path lmStudio = appImage(tree, "home/Applications/LM-Studio-0.2.24-x86_64.AppImage", 120000);
    const fs::path lmStudioEntry = userEntry("appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio", "LM Studio",
                                             "Exec=~/Applications/LM-Studio-0.2.24-x86_64.AppImage\n");
    const fs::path lmStudioData = tree.file("home/.config/LM Studio/settings.json", 2000).parent_path();
    const fs::path etcher = appImage(tree, "home/Applications/Etcher-1.18.11-x86_64.AppImage", 30000);
    const fs::path etcherEntry = userEntry("appimagekit_0cc175b9c0f1b6a831c399e269772661-Etcher", "balenaEtcher",
                                           "Exec=~/Applications/Etcher-1.18.11-x86_64.AppImage\n");
    const fs::path sublime = appImage(tree, "home/Applications/Sublime_Text-4169-x86_64.AppImage", 60000);
    const fs::path sublimeEntry = userEntry("sublime_text", "Sublime Text", "Exec=~/Applications/Sublime_Text-4169-x86_64.AppImage %F\n");
    const fs::path sublimeData = tree.file("home/.config/sublime-text/Packages/User/prefs", 5000).parent_path().parent_path().parent_path();
    // Leftovers of other programs, named only beginning with the application's name.
    const fs::path cursor = appImage(tree, "home/Applications/Cursor-0.40.4-x86_64.AppImage", 70000);
    const fs::path cursorEntry = userEntry("cursor", "Cursor", "Exec=~/Applications/Cursor-0.40.4-x86_64.AppImage --no-sandbox\n");
    const fs::path cursorData = tree.file("home/.config/Cursor/state", 20000).parent_path();
    const fs::path cursorAgent = tree.file("home/.local/share/cursor-agent/versions/1/cursor-agent", 4000).parent_path().parent_path().parent_path();
    link(cursorAgent / "versions/1/cursor-agent", ".local/bin/cursor-agent");
    const fs::path bitwarden = appImage(tree, "home/Applications/Bitwarden-2024.6.2-x86_64.AppImage", 80000);
    const fs::path bitwardenEntry = userEntry("bitwarden", "Bitwarden", "Exec=~/Applications/Bitwarden-2024.6.2-x86_64.AppImage\n");
    const fs::path bitwardenData = tree.file("home/.config/Bitwarden/data.json", 7000).parent_path();
    const fs::path bitwardenCli = tree.file("home/.config/Bitwarden CLI/data.json", 3000).parent_path();
    // A browser's web app whose browser is gone: its folder is still there.
    tree.folder("opt/google/chrome/WidevineCdm");
    const fs::path youtubeEntry = userEntry("chrome-agimnkijcaahngcdmfeangaknmldooml-Default", "YouTube",
                                            "Exec=/opt/google/chrome/google-chrome --profile-directory=Default --app-id=agimnkijcaahngcdmfeangaknmldooml\n");
    const fs::path youtubeDlCache = tree.file("home/.cache/youtube-dl/x", 9000).parent_path();
    const fs::path youtubeDlConfig = tree.file("home/.config/youtube-dl/config", 1000).parent_path();
    // On a drive that is not plugged in, the program is not gone.
    tree.folder("media/u");
    const fs::path playerEntry = userEntry("mediaplayer", "MediaPlayer", "Exec=/media/u/Data/Apps/MediaPlayer.AppImage %U\n");
    const fs::path playerConfig = tree.file("home/.config/MediaPlayer/config", 9000).parent_path();
    const fs::path playerData = tree.file("home/.local/share/mediaplayer/library.db", 1000).parent_path();
    link(tree.path() / "media/u/Data/Tunes/tunes", "Links/tunes");  // a link left to where it was
    const fs::path tunesEntry = userEntry("tunes", "Tunes", "Exec=~/Links/tunes\n");
    const fs::path tunesData = tree.file("home/.config/tunes/library", 1000).parent_path();
    tree.folder("mnt/usb");  // an empty mount point
    const fs::path usbEntry = userEntry("stick", "Stick", "Exec=/mnt/usb/Stick.AppImage\n");
    const fs::path usbData = tree.file("home/.config/Stick/config", 1000).parent_path();
    // A second launcher runs the AppImage through a wrapper, or a shell.
    tree.file("usr/bin/firejail", 4000);
    tree.file("usr/bin/sh", 4000);
    appImage(tree, "home/AppImages/Obsidian-1.5.3.AppImage", 50000);
    const fs::path obsidianEntry = userEntry("obsidian", "Obsidian", "Exec=~/AppImages/Obsidian-1.5.3.AppImage %U\n");
    const fs::path obsidianJail = userEntry("obsidian-jail", "Obsidian in a jail", "Exec=firejail --appimage ~/AppImages/Obsidian-1.5.3.AppImage\n");
    appImage(tree, "home/AppImages/Joplin-2.14.AppImage", 50000);
    const fs::path joplinEntry = userEntry("joplin", "Joplin", "Exec=~/AppImages/Joplin-2.14.AppImage\n");
    const fs::path joplinShell = userEntry("joplin-notes", "Notes", "Exec=sh -c \"cd ~/notes && exec '/home/AppImages/Joplin-2.14.AppImage' --profile notes\"\nNoDisplay=true\n");

    // A launcher that names the home folder and the root runs neither: they hold every application.
    userEntry("shell-here", "Shell here", "Exec=sh -c \"cd ~/ && exec /usr/bin/sh --login /\"\nNoDisplay=true\n");

    SystemRoots withStores = SystemRoots::fixture(tree.path());
    for (const char* exports : {"home/.local/share/flatpak/exports/share", "var/lib/flatpak/exports/share", "var/lib/snapd/desktop"})
        withStores.dataDirs.push_back(tree.path() / exports);
    SystemRoots::install(withStores);
    const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", "/home/.local/bin:/usr/bin", 1);  // machine paths, under the fixture's root; /usr/games left out

    struct Listed {
        Items items;
        std::int64_t size = 0;  // what the list shows
    };
    const std::int64_t file = allocated(fooEntry);  // every entry takes one block
    std::map<std::string, Listed> expected{
        {"foo", {{{fooEntry, true}, {foo, true}, {fooData, true}}, file + allocated(foo)}},
        {"appimagekit_77ab-Bar", {{{barEntry, true}, {bar, true}}, file + allocated(bar)}},
        {"mytool", {{{mytoolEntry, true}, {mytool, true}}, file + allocated(mytool)}},
        {"Alacritty", {{{alacrittyEntry, true}, {alacritty, true}}, file + allocated(alacritty)}},
        {"qux", {{{quxEntry, true}, {home("Linked/qux.AppImage"), true}}, file + allocated(qux)}},
        {"spaced", {{{spacedEntry, false}, {home("My Apps"), false}}, file + du(home("My Apps"))}},
        {"relative", {{{relativeEntry, false}}, file}},
        {"homestead", {{{homesteadEntry, false}}, file}},
        {"packaged", {{{packagedEntry, false}}, file}},
        {"dataapp", {{{condaEntry, false}, {condaData, false}}, file}},
        {"shiny", {{{shinyEntry, false}}, file}},
        {"datatool", {{{datatoolEntry, false}}, file}},
        {"proj", {{{uvEntry, false}}, file}},
        {"electron-app", {{{npxEntry, false}}, file}},
        {"black", {{{blackEntry, false}}, file}},
        {"isort", {{{isortEntry, false}}, file}},
        {"gizmo", {{{gizmoEntry, false}}, file}},
        {"jetbrains-pycharm", {{{pycharmEntry, false}}, file}},
        {"Stardew Valley", {{{stardewEntry, false}, {saves, false}}, file}},
        {"wine-Programs-Notepad++", {{{notepadEntry, false}}, file}},
        {"net.lutris.terraria-2", {{{terrariaEntry, false}, {worlds, false}}, file}},
        {thunderbird, {{{thunderbirdEntry, false}, {mail, false}}, du(deployed)}},
        {"org.gnome.Maps", {{{mapsEntry, false}, {mapsData, false}}, du(mapsDeployed)}},
        {"firefox_firefox", {{{firefoxEntry, false}}, allocated(firefoxSnap)}},
        {"htop", {{{htopEntry, false}, {htopConfig, false}}, allocated(htopEntry) + allocated(tree.path() / "usr/bin/htop")}},
        {"gedit", {{{geditCopy, false}}, file}},
        {"appimagekit_htop", {{{htopImageEntry, true}, {htopImage, true}, {htopConfig, false}}, file + allocated(htopImage)}},
        {"twin", {{{twinEntry, false}}, file}},
        {"gone", {{{goneEntry, true}, {goneData, true}}, file}},
        {"firefox", {{{firefoxOwnEntry, false}, {firefoxOwn, false}}, file + du(firefoxOwn)}},
        {"code", {{{codeEntry, false}, {home("VSCode-linux-x64"), false}, {codeData, false}, {codeServerConfig, false}, {codeServerData, false}},
                  file + du(home("VSCode-linux-x64"))}},
        {"discord", {{{discordEntry, false}, {home("Discord"), false}, {discordData, false}}, file + du(home("Discord"))}},
        {"org.localsend.localsend_app", {{{localsendEntry, false}, {home("localsend"), false}, {localsendData, false}}, file + du(home("localsend"))}},
        {"io.itch.itch", {{{itchEntry, false}, {home(".itch"), false}, {itchData, false}}, file + du(home(".itch"))}},
        {"io.itch.a-short-hike", {{{hikeEntry, false}, {itchData / "apps/a-short-hike", false}}, file + du(itchData / "apps/a-short-hike")}},
        {"pulsar", {{{pulsarEntry, false}, {home("opt/pulsar"), false}}, file + du(home("opt/pulsar"))}},
        {"odd", {{{oddEntry, false}, {home("Odd\xff App"), false}}, file + du(home("Odd\xff App"))}},
        {"jetbrains-idea-ce", {{{ideaEntry, false}, {home("idea-IC"), false}}, file + du(home("idea-IC"))}},
        {"nethack", {{{nethackEntry, false}}, file}},
        {"tool", {{{builtEntry, false}}, file}},
        {"gamehub", {{{gamehubEntry, false}}, file}},
        {"celeste", {{{celesteEntry, false}}, file}},
        {"webapp", {{{webappEntry, false}}, file}},
        {"trainer", {{{trainerEntry, false}}, file}},
        {"spyder", {{{spyderEntry, false}}, file}},
        {"linked", {{{linkedEntry, false}}, file}},
        {"sharedtool", {{{sharedEntry, false}}, file}},
        {"pipe", {{{pipeEntry, false}}, file}},
        {"fake", {{{fakeEntry, false}}, file}},
        {"appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio", {{{lmStudioEntry, true}, {lmStudio, true}, {lmStudioData, true}}, file + allocated(lmStudio)}},
        {"appimagekit_0cc175b9c0f1b6a831c399e269772661-Etcher", {{{etcherEntry, true}, {etcher, true}}, file + allocated(etcher)}},
        {"sublime_text", {{{sublimeEntry, true}, {sublime, true}, {sublimeData, true}}, file + allocated(sublime)}},
        {"cursor", {{{cursorEntry, true}, {cursor, true}, {cursorData, true}, {cursorAgent, false}}, file + allocated(cursor)}},
        {"bitwarden", {{{bitwardenEntry, true}, {bitwarden, true}, {bitwardenData, true}, {bitwardenCli, false}}, file + allocated(bitwarden)}},
        {"chrome-agimnkijcaahngcdmfeangaknmldooml-Default", {{{youtubeEntry, true}, {youtubeDlCache, false}, {youtubeDlConfig, false}}, file}},
        {"mediaplayer", {{{playerEntry, false}, {playerConfig, false}, {playerData, false}}, file}},
        {"stick", {{{usbEntry, false}, {usbData, false}}, file}},
        {"tunes", {{{tunesEntry, false}, {tunesData, false}}, file}},
        {"obsidian", {{{obsidianEntry, false}}, file}},
        {"obsidian-jail", {{{obsidianJail, false}}, file}},
        {"joplin", {{{joplinEntry, false}}, file}},
    };
    if (!chowned) expected["sharedtool"] = {{{sharedEntry, true}, {sharedTool, true}}, file + allocated(sharedTool)};  // only root gives a file away
    std::map<std::string, Listed> found;
    std::map<std::string, std::vector<AppArtifact>> artifacts;
    for (const auto& [id, application] : applicationsByID()) {
        artifacts[id] = service.artifacts(application);
        Listed& listed = found[id];
        listed.size = application.size;
        for (const AppArtifact& artifact : artifacts[id]) listed.items.emplace_back(artifact.path, artifact.isSelected);
    }
    ::setenv("PATH", previousPath.c_str(), 1);
    ASSERT_EQ(found.size(), expected.size());
    for (const auto& [id, listed] : expected) {
        EXPECT_EQ(found[id].items, listed.items) << id;
        EXPECT_EQ(found[id].size, listed.size) << id;
    }

    // Each item measured whole, hidden contents included.
    EXPECT_EQ(artifacts[thunderbird].at(1).size, du(mail));
    EXPECT_GT(artifacts[thunderbird].at(1).size, 700000);
    EXPECT_LT(artifacts[thunderbird].at(1).size, 2 * 700000);
    // Locked, each naming the tool that removes it.
    using Lock = std::pair<std::string, PackageKind>;
    auto lock = [&](const std::string& id) { return Lock{artifacts[id].at(0).package, artifacts[id].at(0).packageKind}; };
    EXPECT_EQ(lock(thunderbird), (Lock{thunderbird, PackageKind::userFlatpak}));
    EXPECT_EQ(lock("org.gnome.Maps"), (Lock{"org.gnome.Maps", PackageKind::flatpak}));
    EXPECT_EQ(lock("firefox_firefox"), (Lock{"firefox", PackageKind::snap}));
    EXPECT_EQ(lock("htop"), (Lock{"htop", PackageKind::debian}));

    // The AppImage goes, the package's settings stay.
    EXPECT_EQ(service.moveToTrash(artifacts["appimagekit_htop"]).size(), 2u);
    EXPECT_FALSE(fs::exists(htopImage));
    EXPECT_TRUE(fs::exists(htopConfig));

    // Chosen, an unpacked application's folder goes whole with its entry.
    for (AppArtifact& artifact : artifacts["firefox"]) artifact.isSelected = true;
    EXPECT_EQ(service.moveToTrash(artifacts["firefox"]).size(), 2u);
    EXPECT_FALSE(fs::exists(firefoxOwn));
    EXPECT_FALSE(fs::exists(firefoxOwnEntry));

    // Once itch is gone, its settings, which hold a game another entry runs, are still not ticked.
    fs::remove(home(".itch/itch"));
    ::setenv("PATH", "/home/.local/bin:/usr/bin", 1);
    Items itchItems;
    for (const AppArtifact& artifact : service.artifacts(applicationsByID()["io.itch.itch"])) itchItems.emplace_back(artifact.path, artifact.isSelected);
    ::setenv("PATH", previousPath.c_str(), 1);
    EXPECT_EQ(itchItems, (Items{{itchEntry, true}, {itchData, false}}));
}

// Entries below the applications folders, as Wine makes them, are applications with the path below
// the folder as their ID; they mask and are masked by that ID as top-level entries are. Links to
// folders are not followed, and a FIFO or a folder that cannot be read stops nothing.
TEST_F(UninstallerServiceTest, EntriesInSubfoldersAreKnownByTheirDesktopFileID) {
    const fs::path notepad = tree.write("home/.local/share/applications/wine/Programs/Notepad++/Notepad++.desktop",
                                        application("Notepad++", "Exec=env WINEPREFIX=\"/home/u/.wine\" wine C:\\\\np.exe\n"));
    tree.write("usr/share/applications/kde4/konsole.desktop", application("Konsole"));
    tree.write("home/.local/share/applications/kde4-konsole.desktop", application("Konsole", "Hidden=true\n"));
    tree.write("usr/share/applications/kde4-dolphin.desktop", application("Dolphin"));
    const fs::path dolphin = tree.write("home/.local/share/applications/kde4/dolphin.desktop", application("My Dolphin"));
    tree.write("home/.local/share/applications/wine/.hidden/secret.desktop", application("Secret"));
    fs::create_symlink(home(".local/share/applications"), home(".local/share/applications/wine/loop"));
    tree.write("elsewhere/outside.desktop", application("Outside"));
    fs::create_symlink(tree.path() / "elsewhere", home(".local/share/applications/linked"));
    ASSERT_EQ(::mkfifo(home(".local/share/applications/wine/pipe.desktop").c_str(), 0644), 0);
    const fs::path locked = tree.write("home/.local/share/applications/locked/game.desktop", application("Game"));
    const fs::path zed = tree.write("home/.local/share/applications/z/zed.desktop", application("Zed"));

    auto listing = [&] {
        std::vector<std::pair<std::string, fs::path>> found;
        for (const InstalledApplication& each : service.installedApplications()) found.emplace_back(each.desktopFileID.toStdString(), each.path);
        return found;
    };
    using Listing = std::vector<std::pair<std::string, fs::path>>;
    EXPECT_EQ(listing(), (Listing{{"locked-game", locked}, {"kde4-dolphin", dolphin}, {"wine-Programs-Notepad++-Notepad++", notepad}, {"z-zed", zed}}));

    // A folder the user cannot read: the rest is still listed. Root reads every folder, so a child
    // that dropped to an unprivileged user lists.
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(locked.parent_path(), fs::perms::none);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ::_exit(listing() == Listing{{"kde4-dolphin", dolphin}, {"wine-Programs-Notepad++-Notepad++", notepad}, {"z-zed", zed}} ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    fs::permissions(locked.parent_path(), fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
