#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Services/StartupItemsService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class StartupItemsServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::shared().setValue("appLanguage", "en");
    }
    void TearDown() override {
        SettingsStore::shared().remove("appLanguage");
    }

    fs::path user(const std::string& name, const std::string& content = "") { return tree.write("home/.config/autostart/" + name, content); }
    static std::string desktop(const std::string& name, const std::string& exec) {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n";
    }
    const StartupItem& item(const std::vector<StartupItem>& items, const std::string& fileName) {
        for (const auto& candidate : items)
            if (candidate.path.filename() == fileName) return candidate;
        throw std::runtime_error("no item " + fileName);
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    StartupItemsService service;
    const QString unknown = AppLocalization::string("startup.unknownProgram");
};

}  // namespace

TEST_F(StartupItemsServiceTest, NoFoldersNoItems) {
    EXPECT_TRUE(service.items().empty());
}

TEST_F(StartupItemsServiceTest, ClassifiesTheThreeFolders) {
    user("a.desktop", desktop("Alpha", R"("/opt/my app/run" --quiet %U)"));
    user("b.disabled", desktop("Beta", "beta-daemon"));
    user("c.txt", desktop("Gamma", "gamma"));
    user("d", desktop("Delta", "delta"));
    user("E.DESKTOP", "not a desktop entry at all");
    user("f.desktop", "[Desktop Entry]\nName=\nExec=\n");
    user("g.desktop", "[Desktop Entry]\nExec=\"/opt/a\\sb/run\" --x\n[Desktop Action x]\nName=Not this\n");
    ::mkfifo((tree.path() / "home/.config/autostart/pipe.desktop").c_str(), 0600);  // must not hang the listing
    tree.write("etc/xdg/autostart/tracker.desktop", desktop("Tracker", "/usr/libexec/tracker"));

    // Enabled units are links in the ".wants" folders, usually to absolute paths of the system.
    tree.write("lib/systemd/system/food.service", "[Unit]\nDescription=Food Daemon\n[Service]\nExecStart=\nExecStart=-/usr/sbin/food --serve\n");
    tree.folder("etc/systemd/system/multi-user.target.wants");
    fs::create_symlink("/lib/systemd/system/food.service", tree.path() / "etc/systemd/system/multi-user.target.wants/food.service");
    fs::create_symlink("/lib/systemd/system/gone.service", tree.path() / "etc/systemd/system/multi-user.target.wants/gone.service");
    fs::create_symlink("/lib/systemd/system/food.timer", tree.path() / "etc/systemd/system/multi-user.target.wants/food.timer");
    tree.write("etc/systemd/system/food.service", "[Unit]\nDescription=Not enabled\n");

    const auto items = service.items();
    ASSERT_EQ(items.size(), 9u);

    const StartupItem& alpha = item(items, "a.desktop");
    EXPECT_EQ(alpha.name, "Alpha");
    EXPECT_EQ(alpha.program, "/opt/my app/run");
    EXPECT_EQ(alpha.id, (tree.path() / "home/.config/autostart/a.desktop").string());
    EXPECT_TRUE(alpha.isEnabled);
    EXPECT_TRUE(alpha.canChange);

    const StartupItem& beta = item(items, "b.disabled");
    EXPECT_EQ(beta.name, "Beta");
    EXPECT_FALSE(beta.isEnabled);
    EXPECT_TRUE(beta.canChange);

    const StartupItem& upper = item(items, "E.DESKTOP");  // unreadable as an entry: named after its file
    EXPECT_EQ(upper.name, "E");
    EXPECT_EQ(upper.program, unknown);
    EXPECT_TRUE(upper.isEnabled);

    EXPECT_EQ(item(items, "f.desktop").name, "");  // an empty name is a name
    EXPECT_EQ(item(items, "f.desktop").program, unknown);
    EXPECT_EQ(item(items, "g.desktop").name, "g");
    EXPECT_EQ(item(items, "g.desktop").program, "/opt/a b/run");  // "\s" is a space, here inside quotes
    EXPECT_EQ(item(items, "pipe.desktop").program, unknown);

    const StartupItem& tracker = item(items, "tracker.desktop");
    EXPECT_FALSE(tracker.canChange);
    EXPECT_TRUE(tracker.isEnabled);

    const StartupItem& food = item(items, "food.service");
    EXPECT_EQ(food.name, "Food Daemon");
    EXPECT_EQ(food.program, "/usr/sbin/food");
    EXPECT_FALSE(food.canChange);
    EXPECT_EQ(item(items, "gone.service").name, "gone");
    EXPECT_EQ(item(items, "gone.service").program, unknown);
}

TEST_F(StartupItemsServiceTest, EnabledInstancesOfATemplateReadTheirOwnNames) {
    tree.write("lib/systemd/system/getty@.service", "[Unit]\nDescription=Getty on %I\n[Service]\nExecStart=-/sbin/agetty --noclear - $TERM\n");
    tree.write("lib/systemd/system/backup@.service",
               "[Unit]\nDescription=Back up %I (%i) of %p, 100%% sure, in %h\n[Service]\nExecStart=/usr/lib/%p/run %I\n");
    tree.folder("etc/systemd/system/getty.target.wants");
    fs::create_symlink("/lib/systemd/system/getty@.service", tree.path() / "etc/systemd/system/getty.target.wants/getty@tty1.service");
    fs::create_symlink("/lib/systemd/system/backup@.service",
                       tree.path() / "etc/systemd/system/getty.target.wants/backup@home-ada\\x2dlovelace.service");

    const auto items = service.items();
    EXPECT_EQ(item(items, "getty@tty1.service").name, "Getty on tty1");
    EXPECT_EQ(item(items, "getty@tty1.service").program, "/sbin/agetty");
    const StartupItem& backup = item(items, "backup@home-ada\\x2dlovelace.service");
    EXPECT_EQ(backup.name, "Back up home/ada-lovelace (home-ada\\x2dlovelace) of backup, 100% sure, in %h");
    EXPECT_EQ(backup.program, "/usr/lib/backup/run");
}

TEST_F(StartupItemsServiceTest, OrdersNamesAsAFileBrowserDoes) {
    user("1.desktop", desktop("Item 10", "x"));
    user("2.desktop", desktop("item 9", "x"));
    user("3.desktop", desktop("Zulu", "x"));
    user("4.desktop", desktop("alpha", "x"));
    user("5.desktop", desktop("Alpha", "x"));
    tree.write("etc/xdg/autostart/0.desktop", desktop("alpha", "x"));
    std::vector<std::string> order;
    for (const auto& each : service.items()) order.push_back(each.name.toStdString() + "@" + each.path.filename().string());
    // Names equal but for case keep folder order (the user's folder first), then listing order.
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[3], "item 9@2.desktop");
    EXPECT_EQ(order[4], "Item 10@1.desktop");
    EXPECT_EQ(order[5], "Zulu@3.desktop");
    EXPECT_EQ(order[2], "alpha@0.desktop");
}

TEST_F(StartupItemsServiceTest, SwitchesOnlyTheUsersItemsByRenaming) {
    const fs::path x = user("x.desktop", desktop("X", "x"));
    auto items = service.items();

    service.setEnabled(item(items, "x.desktop"), true);  // already enabled: untouched
    EXPECT_TRUE(fs::exists(x));

    service.setEnabled(item(items, "x.desktop"), false);
    EXPECT_FALSE(fs::exists(x));
    EXPECT_EQ(TempTree::read(x.parent_path() / "x.disabled"), desktop("X", "x"));

    items = service.items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_FALSE(items[0].isEnabled);
    service.setEnabled(items[0], true);
    EXPECT_TRUE(fs::exists(x));
    EXPECT_FALSE(fs::exists(x.parent_path() / "x.disabled"));
}

TEST_F(StartupItemsServiceTest, RefusesSystemItemsAndNeverReplacesAFile) {
    const fs::path system = tree.write("etc/xdg/autostart/s.desktop", desktop("S", "s"));
    user("y.desktop", desktop("Enabled copy", "y"));
    user("y.disabled", desktop("Disabled copy", "y"));
    const auto items = service.items();

    try {
        service.setEnabled(item(items, "s.desktop"), false);
        FAIL() << "a system item was switched";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.errorCase(), StartupError::Case::requiresAdministrator);
        EXPECT_EQ(QString::fromStdString(error.what()), AppLocalization::string("startup.requiresAdministrator"));
    }
    // Whatever an item claims, only files of the user's own folder are renamed.
    StartupItem forged = item(items, "s.desktop");
    forged.canChange = true;
    EXPECT_THROW(service.setEnabled(forged, false), StartupError);
    EXPECT_TRUE(fs::exists(system));

    try {
        service.setEnabled(item(items, "y.desktop"), false);
        FAIL() << "the disabled file was replaced";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::file_exists);
        EXPECT_NE(std::string(error.what()).find("y.desktop"), std::string::npos);
    }
    EXPECT_EQ(TempTree::read(tree.path() / "home/.config/autostart/y.desktop"), desktop("Enabled copy", "y"));
    EXPECT_EQ(TempTree::read(tree.path() / "home/.config/autostart/y.disabled"), desktop("Disabled copy", "y"));

    // A file that has gone since the list was made is not what was listed.
    fs::remove(tree.path() / "home/.config/autostart/y.disabled");
    StartupItem gone = item(items, "y.disabled");
    try {
        service.setEnabled(gone, true);
        FAIL() << "a file that has gone was switched";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.errorCase(), StartupError::Case::changedSinceListed);
    }
}

namespace {

// Reads autostart entries with GLib's own key-file reader, as a desktop session does at login:
// the user's entry of a name replaces the system's; "Hidden" true or "X-GNOME-Autostart-enabled"
// false keeps it from starting.
class DesktopSession {
public:
    DesktopSession() : glib_(::dlopen("libglib-2.0.so.0", RTLD_NOW)) {}
    ~DesktopSession() {
        if (glib_) ::dlclose(glib_);
    }
    bool available() const { return glib_; }

    bool startsAtLogin(const fs::path& home, const fs::path& root, const std::string& fileName) const {
        fs::path file = home / ".config/autostart" / fileName;
        if (!fs::exists(fs::symlink_status(file))) file = root / "etc/xdg/autostart" / fileName;
        if (!fs::exists(fs::symlink_status(file))) return false;
        auto newKeyFile = function<void*()>("g_key_file_new");
        auto load = function<int(void*, const char*, int, void**)>("g_key_file_load_from_file");
        auto boolean = function<int(void*, const char*, const char*, void**)>("g_key_file_get_boolean");
        auto freeKeyFile = function<void(void*)>("g_key_file_free");
        auto freeError = function<void(void*)>("g_error_free");
        void* keys = newKeyFile();
        void* error = nullptr;
        bool starts = load(keys, file.c_str(), 0, &error);
        auto flag = [&](const char* key, bool missing) {
            void* failure = nullptr;
            const bool value = boolean(keys, "Desktop Entry", key, &failure);
            if (!failure) return value;
            freeError(failure);
            return missing;
        };
        if (error) freeError(error);
        else starts = !flag("Hidden", false) && flag("X-GNOME-Autostart-enabled", true);
        freeKeyFile(keys);
        return starts;
    }

private:
    template <typename Signature>
    Signature* function(const char* name) const {
        return reinterpret_cast<Signature*>(::dlsym(glib_, name));
    }
    void* glib_;
};

}  // namespace

// Every way a user's entry and a system entry of one name can meet: the switch shows what the
// desktop will do at the next login, and flipping it makes the desktop do the opposite, with the
// rest of each file kept byte for byte and no second entry made.
TEST_F(StartupItemsServiceTest, TheSwitchFollowsWhatTheDesktopDoesAtLogin) {
    const DesktopSession session;
    ASSERT_TRUE(session.available());
    const fs::path home = tree.path() / "home";
    auto starts = [&](const std::string& name) { return session.startsAtLogin(home, tree.path(), name); };
    auto flip = [&](const std::string& fileName, bool enabled) { service.setEnabled(item(service.items(), fileName), enabled); };
    const std::string full = "# kept\r\n[Desktop Entry]\r\nType=Application\r\nName=Sync\r\nName[ar]=مزامنة\r\nExec=sync-agent --tray\r\n"
                             "X-Custom = 1\r\n\r\n[Desktop Action quit]\r\nName=Quit\r\nHidden=true\r\n";

    // A user's entry that hides itself, or that GNOME is told not to start.
    user("hidden.desktop", desktop("Hidden", "h") + "Hidden=true\n");
    user("gnome.desktop", desktop("Gnome off", "g") + "X-GNOME-Autostart-enabled=false\nX-GNOME-Autostart-enabled=0\n");
    // System entries alone: one starts, one does not.
    tree.write("etc/xdg/autostart/plain.desktop", desktop("Plain", "p"));
    tree.write("etc/xdg/autostart/quiet.desktop", desktop("Quiet", "q") + "Hidden=1\n");
    // A user's full copy over a system entry, a bare mask over another, a disabled file beside a third.
    tree.write("etc/xdg/autostart/sync.desktop", desktop("System sync", "sync-agent"));
    const fs::path copy = user("sync.desktop", full);
    tree.write("etc/xdg/autostart/tracker.desktop", desktop("Tracker", "/usr/libexec/tracker"));
    const fs::path mask = user("tracker.desktop", "[Desktop Entry]\nHidden=true\n");
    tree.write("etc/xdg/autostart/backup.desktop", desktop("Backup", "backup"));
    user("backup.disabled", desktop("My backup", "backup --mine"));

    auto items = service.items();
    std::map<std::string, std::pair<bool, bool>> shown;  // file name → enabled, changeable
    for (const auto& each : items) shown[each.path.filename().string() + (each.canChange ? "@user" : "@system")] = {each.isEnabled, each.canChange};
    const std::map<std::string, std::pair<bool, bool>> expected{
        {"hidden.desktop@user", {false, true}},  {"gnome.desktop@user", {false, true}},   {"plain.desktop@system", {true, false}},
        {"quiet.desktop@system", {false, false}}, {"sync.desktop@user", {true, true}},     {"tracker.desktop@user", {false, true}},
        {"backup.disabled@user", {false, true}}, {"backup.desktop@system", {true, false}},
    };
    EXPECT_EQ(shown, expected);  // masked system entries show once, as the user's row
    for (const auto& [key, state] : expected) {
        const std::string name = key.substr(0, key.find('@'));
        if (name.ends_with(".desktop")) {
            EXPECT_EQ(starts(name), state.first) << name;
        }
    }
    EXPECT_EQ(item(items, "tracker.desktop").name, "Tracker");  // a bare mask borrows the system entry's name
    EXPECT_EQ(item(items, "tracker.desktop").program, "/usr/libexec/tracker");

    // Off over a system entry: the user's copy stays in place and is marked hidden; nothing else changes.
    flip("sync.desktop", false);
    EXPECT_FALSE(starts("sync.desktop"));
    EXPECT_FALSE(fs::exists(copy.parent_path() / "sync.disabled"));
    std::string hidden = full;
    hidden.insert(hidden.find("Type="), "Hidden=true\r\n");
    EXPECT_EQ(TempTree::read(copy), hidden);
    EXPECT_FALSE(item(service.items(), "sync.desktop").isEnabled);
    // And back on: the same file says so, every other byte as it was.
    flip("sync.desktop", true);
    EXPECT_TRUE(starts("sync.desktop"));
    std::string shownAgain = full;
    shownAgain.insert(shownAgain.find("Type="), "Hidden=false\r\n");
    EXPECT_EQ(TempTree::read(copy), shownAgain);

    // On for a bare mask: the mask goes to the Trash and the system entry starts; no second entry.
    flip("tracker.desktop", true);
    EXPECT_TRUE(starts("tracker.desktop"));
    EXPECT_FALSE(fs::exists(mask));
    EXPECT_EQ(TempTree::read(home / ".local/share/Trash/files/tracker.desktop"), "[Desktop Entry]\nHidden=true\n");
    EXPECT_FALSE(item(service.items(), "tracker.desktop").canChange);

    // Entries that keep themselves from starting are switched on by their keys alone.
    flip("hidden.desktop", true);
    flip("gnome.desktop", true);
    EXPECT_TRUE(starts("hidden.desktop"));
    EXPECT_TRUE(starts("gnome.desktop"));
    EXPECT_EQ(TempTree::read(home / ".config/autostart/hidden.desktop"), desktop("Hidden", "h") + "Hidden=false\n");
    EXPECT_EQ(TempTree::read(home / ".config/autostart/gnome.desktop"),
              desktop("Gnome off", "g") + "X-GNOME-Autostart-enabled=true\nX-GNOME-Autostart-enabled=true\n");
    // Off with no system entry behind it is the rename it always was.
    flip("hidden.desktop", false);
    EXPECT_FALSE(starts("hidden.desktop"));
    EXPECT_TRUE(fs::exists(home / ".config/autostart/hidden.disabled"));

    // A disabled file beside a system entry: on makes the user's own entry the one that starts.
    flip("backup.disabled", true);
    EXPECT_TRUE(starts("backup.desktop"));
    EXPECT_EQ(TempTree::read(home / ".config/autostart/backup.desktop"), desktop("My backup", "backup --mine"));
    items = service.items();
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const StartupItem& each) { return each.name.contains("ackup"); }), 1);
}

// At the moment of the switch the file must still be the one listed, in the state listed; a link
// is never written through or replaced.
TEST_F(StartupItemsServiceTest, ASwitchActsOnlyOnTheFileThatWasListed) {
    const fs::path edited = user("edited.desktop", desktop("Edited", "e"));
    const auto before = item(service.items(), "edited.desktop");
    tree.write("home/.config/autostart/edited.desktop", desktop("Edited", "e") + "Hidden=true\n");
    try {
        service.setEnabled(before, false);
        FAIL() << "a file changed since the list was made was switched";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.errorCase(), StartupError::Case::changedSinceListed);
    }
    EXPECT_EQ(TempTree::read(edited), desktop("Edited", "e") + "Hidden=true\n");

    const fs::path replacedFile = user("replaced.desktop", desktop("Replaced", "r"));
    const auto listed = item(service.items(), "replaced.desktop");
    fs::remove(replacedFile);
    tree.write("home/.config/autostart/replaced.desktop", desktop("Replaced", "r"));  // same bytes, another file
    EXPECT_THROW(service.setEnabled(listed, false), StartupError);
    EXPECT_TRUE(fs::exists(replacedFile));

    // A link over a system entry: switching it off would mean writing through it.
    const fs::path target = tree.write("elsewhere/linked.desktop", desktop("Linked", "l"));
    tree.write("etc/xdg/autostart/linked.desktop", desktop("System linked", "l"));
    fs::create_symlink(target, tree.path() / "home/.config/autostart/linked.desktop");
    try {
        service.setEnabled(item(service.items(), "linked.desktop"), false);
        FAIL() << "a link was written through";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.errorCase(), StartupError::Case::symbolicLink);
    }
    EXPECT_TRUE(fs::is_symlink(tree.path() / "home/.config/autostart/linked.desktop"));
    EXPECT_EQ(TempTree::read(target), desktop("Linked", "l"));
    // With no system entry behind it, the link itself is renamed, its target untouched.
    fs::remove(tree.path() / "etc/xdg/autostart/linked.desktop");
    service.setEnabled(item(service.items(), "linked.desktop"), false);
    EXPECT_TRUE(fs::is_symlink(tree.path() / "home/.config/autostart/linked.disabled"));
    EXPECT_EQ(TempTree::read(target), desktop("Linked", "l"));
}
