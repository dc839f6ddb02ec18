#include "Platform/SettingsStore.h"
#include "Platform/SystemRoots.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallerService.h"
#include "Models/AppLocalization.h"
#include "Models/PackageKind.h"
#include "Support/FixtureRoots.h"
#include "Support/InstalledFiles.h"
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

using namespace InstalledFiles;

// An entry that starts a program of its own name unless `extra` gives its Exec line.
std::string applicationEntry(const std::string& name, const std::string& extra = "") {
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

    InstalledApplication userApplication(const std::string& identifier, const std::string& name, const std::string& extra = "") {
        const fs::path file = tree.write("home/.local/share/applications/" + identifier + ".desktop", applicationEntry(name, extra));
        return {file.string(), QString::fromStdString(name), QString::fromStdString(identifier), "\u2014", file, allocated(file), {}};
    }

    // An application that goes with its program: a compiled one named as the application is, in ~/.local/bin.
    InstalledApplication ownApplication(const std::string& identifier, const std::string& name, const std::string& program) {
        compiled(tree, "home/.local/bin/" + program, 4000);
        return userApplication(identifier, name, "Exec=" + program + "\n");
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
    tree.write("usr/share/applications/zeta.desktop", applicationEntry("zeta", "Version=1.5\n"));
    tree.write("usr/share/applications/alpha.desktop", applicationEntry("Alpha", "Name[ar]=ألفا\n"));
    tree.write("usr/share/applications/Tool.DESKTOP", "[Desktop Entry]\nType=Application\nExec=tool\n");
    tree.write("usr/share/applications/nodisplay.desktop", applicationEntry("Helper", "NoDisplay=true\n"));
    tree.write("usr/share/applications/deleted.desktop", applicationEntry("Deleted", "Hidden=true\n"));
    tree.write("usr/share/applications/link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=https://x\n");
    tree.write("usr/share/applications/broken.desktop", "Name=Broken\n");
    tree.write("usr/share/applications/.secret.desktop", applicationEntry("Secret"));
    tree.write("usr/share/applications/readme.txt", applicationEntry("Readme"));
    const fs::path userAlpha = tree.write("home/.local/share/applications/alpha.desktop", applicationEntry("alpha"));

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

    tree.write("usr/share/applications/beta.desktop", applicationEntry("Beta", "Icon=beta-icon\n"));

    const auto applications = service.installedApplications();
    std::vector<std::string> names;
    for (const auto& each : applications) names.push_back(each.name.toStdString());
    // The user's copy of alpha stands in for the system's.
    ASSERT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Tool", "zeta"}));

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
    tree.write("usr/share/applications/editor.desktop", applicationEntry("Editor", "Exec=editor-old\n"));
    const fs::path local = tree.write("usr/local/share/applications/editor.desktop", applicationEntry("Editor", "Exec=editor\n"));
    tree.write("usr/share/applications/game.desktop", applicationEntry("Game", "Exec=game\n"));
    tree.write("home/.local/share/applications/game.desktop", applicationEntry("Game", "Hidden=true\n"));
    tree.write("usr/share/applications/viewer.desktop", applicationEntry("Viewer", "Exec=viewer\n"));
    tree.write("home/.local/share/applications/viewer.desktop", applicationEntry("Viewer", "NoDisplay=true\n"));
    const fs::path mine = tree.write("home/.local/share/applications/player.desktop", applicationEntry("Player", "Exec=player\n"));
    tree.write("usr/share/applications/player.desktop", applicationEntry("Player", "Exec=player\n"));

    // Two ids that start one command ("xdg-open %f" opens a file whatever it is) are two applications.
    const fs::path paint = tree.write("usr/share/applications/org.example.Paint.desktop", applicationEntry("Paint", "Exec=paint  %U\n"));
    const fs::path myPaint = tree.write("home/.local/share/applications/my-paint.desktop", applicationEntry("My Paint", "Exec=paint %U\n"));
    const fs::path viewer = tree.write("usr/share/applications/viewer-a.desktop", applicationEntry("Viewer A", "Exec=xdg-open %f\n"));
    const fs::path editor = tree.write("usr/share/applications/editor-b.desktop", applicationEntry("Editor B", "Exec=xdg-open %f\n"));
    // Entries for another desktop only, as the desktop's menus show them.
    tree.write("usr/share/applications/monitor.desktop", applicationEntry("Monitor", "Exec=monitor\nNotShowIn=KDE;\n"));
    tree.write("usr/share/applications/monitor-kde.desktop", applicationEntry("KDE Monitor", "Exec=monitor-kde\nOnlyShowIn=KDE;\n"));

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
    tree.write("usr/local/share/applications/only.desktop", applicationEntry("Only"));
    ASSERT_EQ(service.installedApplications().size(), 1u);
}

// The example of the uninstaller's rules, with the Linux folders in place of the library's.
TEST_F(UninstallerServiceTest, FindsLeftoversByFixedNamesAndByMatching) {
    const InstalledApplication tool = ownApplication("x.y.Tool", "Tool", "tool");
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
    ASSERT_EQ(artifacts.size(), 9u);
    EXPECT_EQ(artifacts[0].path, tool.path);
    EXPECT_EQ(artifacts[0].category, ArtifactCategory::application);
    EXPECT_TRUE(artifacts[0].isSelected);  // the user's own entry
    EXPECT_EQ(artifacts[1].category, ArtifactCategory::application);  // and its own program
    // By size; the preference file and the odd name are equally large and keep the order they were found in.
    EXPECT_EQ(urls(artifacts), (std::vector<fs::path>{tool.path, home(".local/bin/tool"), home(".local/share/Tool Log.txt"), home(".cache/x.y.Tool"),
                                                      home(".var/app/x.y.Tool"), home(".local/state/x.y.Tool"), home(".cache/x.y.tool.agent"),
                                                      home(".config/x.y.Tool"), home(".cache/x.y.tool\xff-odd")}));
    for (size_t i = 3; i < artifacts.size(); ++i) EXPECT_GE(artifacts[i - 1].size, artifacts[i].size);
    EXPECT_EQ(artifacts[2].category, ArtifactCategory::support);
    EXPECT_EQ(artifacts[3].category, ArtifactCategory::cache);
    EXPECT_EQ(artifacts[3].size, du(home(".cache/x.y.Tool")));
    EXPECT_GT(artifacts[3].size, allocated(home(".cache/x.y.Tool/blob")) + allocated(home(".cache/x.y.Tool/.hidden-blob")));
    EXPECT_EQ(artifacts[4].category, ArtifactCategory::container);
    EXPECT_EQ(artifacts[5].category, ArtifactCategory::savedState);
    EXPECT_EQ(artifacts[6].category, ArtifactCategory::cache);
    EXPECT_EQ(artifacts[7].category, ArtifactCategory::preference);
    EXPECT_EQ(artifacts[8].category, ArtifactCategory::cache);
    // Named after the application, so ticked; the log's and the agent's names only begin with a key,
    // the odd name only holds one, and ~/.var/app holds only a Flatpak's data.
    for (size_t i = 0; i < artifacts.size(); ++i) EXPECT_EQ(artifacts[i].isSelected, i != 2 && i != 4 && i != 6 && i != 8) << artifacts[i].path;

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
    const fs::path entry = tree.write("usr/share/applications/zeta.desktop", applicationEntry("Zeta"));
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

    // An entry that is gone since the listing proves nothing of its application: what it left in the
    // home folder is listed, not ticked.
    tree.file("home/.config/zeta/settings", 100);
    fs::remove(entry);
    const auto left = service.artifacts(applications[0]);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_FALSE(left[0].isSelected);
}

// A user's copy of an entry (an edited launcher, a pinned one) masks the entry of its id behind it:
// moving the copy only brings that launcher back, so the application stays installed, packaged or
// not, and nothing of it is preselected. An entry only the user has is theirs to remove, even when
// their folder is listed among the system's too.
TEST_F(UninstallerServiceTest, AUsersCopyOfAnEntryLeavesItsApplicationInstalled) {
    tree.write("usr/share/applications/htop.desktop", applicationEntry("Htop"));
    tree.write("var/lib/dpkg/info/htop.list", "/usr/share/applications/htop.desktop\n");
    const fs::path htop = tree.write("home/.local/share/applications/htop.desktop", applicationEntry("Htop", "Terminal=true\n"));
    tree.file("home/.config/htop/htoprc", 100);
    tree.write("usr/local/share/applications/tool.desktop", applicationEntry("Tool"));
    const fs::path tool = tree.write("home/.local/share/applications/tool.desktop", applicationEntry("Tool"));
    tree.file("home/.config/tool/settings", 100);
    const fs::path solo = ownApplication("solo", "Solo", "solo").path;
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
    EXPECT_EQ(ticks(applications["solo"]), (Items{{solo, true}, {home(".local/bin/solo"), true}, {home(".config/solo"), true}}));

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
    const fs::path entry = tree.write("usr/share/applications/zeta.desktop", applicationEntry("Zeta"));
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
    const fs::path entry = tree.write("usr/local/share/applications/free.desktop", applicationEntry("Free"));
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
    // Nor for root, who may change the folder: a system entry is never the user's to take.
    EXPECT_TRUE(noneTicked(service.artifacts(app)));
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
    const InstalledApplication vim = ownApplication("vim", "Vim", "vim");
    for (const char* item : {".config/nvim/init.lua", ".local/share/nvim/site/x", ".local/share/vimwiki/notes.md", ".config/gvim-rc/x", ".cache/vim/swap",
                             ".cache/vim.log", ".local/share/vim_backup/x", ".config/Vim Tips/x"})
        tree.file(std::string("home/") + item, 100);
    std::map<fs::path, bool> ticks;
    for (const AppArtifact& artifact : service.artifacts(vim)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{vim.path, true},
                                               {home(".local/bin/vim"), true},
                                               {home(".config/nvim"), false},
                                               {home(".local/share/nvim"), false},
                                               {home(".local/share/vimwiki"), false},
                                               {home(".config/gvim-rc"), false},
                                               {home(".cache/vim"), true},
                                               {home(".cache/vim.log"), true},
                                               {home(".local/share/vim_backup"), false},
                                               {home(".config/Vim Tips"), false}}));

    const InstalledApplication maps = ownApplication("org.gnome.Maps", "Maps", "maps");
    for (const char* item : {".cache/org.gnome.Maps.Devel/x", ".config/mapsforge/x", ".local/share/maps/x", ".local/share/mymaps/x"})
        tree.file(std::string("home/") + item, 100);
    ticks.clear();
    for (const AppArtifact& artifact : service.artifacts(maps)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{maps.path, true},
                                               {home(".local/bin/maps"), true},
                                               {home(".cache/org.gnome.Maps.Devel"), false},
                                               {home(".config/mapsforge"), false},
                                               {home(".local/share/maps"), true},
                                               {home(".local/share/mymaps"), false}}));
}

// A key of one or two letters finds only what is named after it, whole or before a separator, and
// ticks only the whole name; its letters inside another name say nothing.
TEST_F(UninstallerServiceTest, AShortKeyFindsOnlyItemsNamedAfterIt) {
    const InstalledApplication qv = ownApplication("qv", "Quick Viewer", "quickviewer");
    for (const char* item : {".config/qv/rc", ".cache/qv-data/x", ".local/share/QV.log", ".local/share/aqva/x", ".cache/qvx/x", ".config/q v/x",
                             ".local/share/quickviewer/x", ".cache/myquickviewer/x"})
        tree.file(std::string("home/") + item, 100);
    std::map<fs::path, bool> ticks;
    for (const AppArtifact& artifact : service.artifacts(qv)) ticks[artifact.path] = artifact.isSelected;
    EXPECT_EQ(ticks, (std::map<fs::path, bool>{{qv.path, true},
                                               {home(".local/bin/quickviewer"), true},
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
    const InstalledApplication app = ownApplication("org.example.App", "Example", "example");
    tree.file("home/.cache/org.example.App/blob", 40000);
    tree.file("home/.config/org.example.App/settings", 100);
    tree.file("home/.local/share/org.example.App.log", 300);
    tree.file("home/.local/state/org.example.App/window", 200);
    const auto artifacts = service.artifacts(app);
    ASSERT_EQ(artifacts.size(), 6u);

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
        EXPECT_EQ(error.movedLocations(),
                  (std::vector<fs::path>{trash / "files/org.example.App.desktop", trash / "files/example", trash / "files/org.example.App"}));
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

// Entries below the applications folders, as Wine makes them, are applications with the path below
// the folder as their ID; they mask and are masked by that ID as top-level entries are. Links to
// folders are not followed, and a FIFO or a folder that cannot be read stops nothing.
TEST_F(UninstallerServiceTest, EntriesInSubfoldersAreKnownByTheirDesktopFileID) {
    const fs::path notepad = tree.write("home/.local/share/applications/wine/Programs/Notepad++/Notepad++.desktop",
                                        applicationEntry("Notepad++", "Exec=env WINEPREFIX=\"/home/u/.wine\" wine C:\\\\np.exe\n"));
    tree.write("usr/share/applications/kde4/konsole.desktop", applicationEntry("Konsole"));
    tree.write("home/.local/share/applications/kde4-konsole.desktop", applicationEntry("Konsole", "Hidden=true\n"));
    tree.write("usr/share/applications/kde4-dolphin.desktop", applicationEntry("Dolphin"));
    const fs::path dolphin = tree.write("home/.local/share/applications/kde4/dolphin.desktop", applicationEntry("My Dolphin"));
    tree.write("home/.local/share/applications/wine/.hidden/secret.desktop", applicationEntry("Secret"));
    fs::create_symlink(home(".local/share/applications"), home(".local/share/applications/wine/loop"));
    tree.write("elsewhere/outside.desktop", applicationEntry("Outside"));
    fs::create_symlink(tree.path() / "elsewhere", home(".local/share/applications/linked"));
    ASSERT_EQ(::mkfifo(home(".local/share/applications/wine/pipe.desktop").c_str(), 0644), 0);
    const fs::path locked = tree.write("home/.local/share/applications/locked/game.desktop", applicationEntry("Game"));
    const fs::path zed = tree.write("home/.local/share/applications/z/zed.desktop", applicationEntry("Zed"));

    auto listing = [&] {
        std::vector<std::pair<std::string, fs::path>> found;
        for (const InstalledApplication& each : service.installedApplications()) found.emplace_back(each.desktopFileID.toStdString(), each.path);
        return found;
    };
    using Listing = std::vector<std::pair<std::string, fs::path>>;
    // A linked folder is read as the desktop reads it, once however many links reach it.
    EXPECT_EQ(listing(), (Listing{{"locked-game", locked}, {"kde4-dolphin", dolphin}, {"wine-Programs-Notepad++-Notepad++", notepad},
                                  {"linked-outside", home(".local/share/applications/linked/outside.desktop")}, {"z-zed", zed}}));

    // A folder the user cannot read: the rest is still listed. Root reads every folder, so a child
    // that dropped to an unprivileged user lists.
    fs::permissions(tree.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(locked.parent_path(), fs::perms::none);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ::_exit(listing() == Listing{{"kde4-dolphin", dolphin}, {"wine-Programs-Notepad++-Notepad++", notepad},
                                     {"linked-outside", home(".local/share/applications/linked/outside.desktop")}, {"z-zed", zed}} ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    fs::permissions(locked.parent_path(), fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
