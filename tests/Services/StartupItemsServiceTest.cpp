#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Platform/AutostartSwitch.h"
#include "Platform/SettingsStore.h"
#include "Services/ErrorDescription.h"
#include "Services/StartupItemsService.h"
#include "Support/FixtureRoots.h"
#include "Support/GLibKeyFiles.h"
#include "Support/TempTree.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
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
    // The row that names the file: its own, or the one of the item it is another file of.
    const StartupItem& item(const std::vector<StartupItem>& items, const std::string& fileName) {
        for (const auto& candidate : items)
            if (candidate.path.filename() == fileName) return candidate;
        for (const auto& candidate : items)
            if (std::any_of(candidate.otherFiles.begin(), candidate.otherFiles.end(), [&](const fs::path& file) { return file.filename() == fileName; }))
                return candidate;
        throw std::runtime_error("no item " + fileName);
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    StartupItemsService service;
    const GLibKeyFiles glib;
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

    const StartupItem& upper = item(items, "E.DESKTOP");  // the desktop cannot read it: named after its file, off
    EXPECT_EQ(upper.name, "E");
    EXPECT_EQ(upper.program, unknown);
    EXPECT_FALSE(upper.isEnabled);
    EXPECT_FALSE(upper.isSwitchable());

    EXPECT_EQ(item(items, "f.desktop").name, "");  // an empty name is a name
    EXPECT_EQ(item(items, "f.desktop").program, unknown);
    EXPECT_EQ(item(items, "g.desktop").name, "g");
    EXPECT_EQ(item(items, "g.desktop").program, "/opt/a b/run");  // "\s" is a space, here inside quotes
    EXPECT_EQ(item(items, "pipe.desktop").program, unknown);
    EXPECT_FALSE(item(items, "pipe.desktop").isEnabled);

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

    // Two files of one item are one row naming both; switching it off keeps the other file as it
    // is, and switching it on gives back the very file switched off.
    const fs::path autostart = tree.path() / "home/.config/autostart";
    ASSERT_EQ(item(items, "y.desktop").otherFiles, std::vector<fs::path>{autostart / "y.disabled"});
    service.setEnabled(item(items, "y.desktop"), false);
    EXPECT_FALSE(fs::exists(autostart / "y.desktop"));
    EXPECT_EQ(TempTree::read(autostart / "y.desktop.disabled"), desktop("Enabled copy", "y"));
    EXPECT_EQ(TempTree::read(autostart / "y.disabled"), desktop("Disabled copy", "y"));
    EXPECT_FALSE(item(service.items(), "y.disabled").isEnabled);
    service.setEnabled(item(service.items(), "y.disabled"), true);
    EXPECT_EQ(TempTree::read(autostart / "y.desktop"), desktop("Enabled copy", "y"));
    EXPECT_EQ(TempTree::read(autostart / "y.disabled"), desktop("Disabled copy", "y"));
    EXPECT_FALSE(fs::exists(autostart / "y.desktop.disabled"));

    // A file that has gone since the list was made is not what was listed.
    user("z.disabled", desktop("Gone", "z"));
    StartupItem gone = item(service.items(), "z.disabled");
    fs::remove(autostart / "z.disabled");
    try {
        service.setEnabled(gone, true);
        FAIL() << "a file that has gone was switched";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.errorCase(), StartupError::Case::changedSinceListed);
    }
}

// A refused rename names the file as it is stored, marks and all, inside a sentence that shows none
// of the marks that placed the name in it.
TEST_F(StartupItemsServiceTest, ARefusedRenameShowsTheNameWithoutTheMarksAroundIt) {
    // Both names a switch off may take are taken.
    const auto shownFailure = [&](const std::string& name) {
        user(name + ".desktop", desktop("Enabled", "y"));
        user(name + ".disabled", desktop("Disabled", "y"));
        user(name + ".desktop.disabled", desktop("Disabled by hand", "y"));
        try {
            service.setEnabled(item(service.items(), name + ".desktop"), false);
        } catch (const std::system_error&) {
            return errorDescription(std::current_exception());
        }
        return QStringLiteral("<switched>");
    };
    const QString exists = QString::fromLocal8Bit(std::strerror(EEXIST));
    EXPECT_EQ(shownFailure("dup"), AppLocalization::format("startup.renameFailed", {QStringLiteral("dup.desktop")}) + ": " + exists);
    EXPECT_EQ(shownFailure("dup"), QString::fromUtf8("Could not rename \u201C\u2066dup.desktop\u2069\u201D: ") + exists);
    // Controls that are part of the name are shown, also an isolate that pairs up within it.
    EXPECT_EQ(shownFailure("qq\u202Etxt"), QString::fromUtf8("Could not rename \u201C\u2066qq[U+202E]txt.desktop\u2069\u201D: ") + exists);
    EXPECT_EQ(shownFailure("a\u2067b\u2069c"),
              QString::fromUtf8("Could not rename \u201C\u2066a[U+2067]b[U+2069]c.desktop\u2069\u201D: ") + exists);
    // The file system library's own text names paths as stored: every control in it is shown.
    const fs::filesystem_error library("cannot rename", "/a/\u2067b\u2069", "/a/c", std::make_error_code(std::errc::file_exists));
    EXPECT_TRUE(errorDescription(std::make_exception_ptr(library)).contains("/a/[U+2067]b[U+2069]"));
}

// Every way a user's entry and a system entry of one name can meet: the switch shows what the
// desktop will do at the next login, and flipping it makes the desktop do the opposite, with the
// rest of each file kept byte for byte and no second entry made.
TEST_F(StartupItemsServiceTest, TheSwitchFollowsWhatTheDesktopDoesAtLogin) {
    ASSERT_TRUE(glib.available());
    const fs::path home = tree.path() / "home";
    auto starts = [&](const std::string& name) { return glib.startsAtLogin(home / ".config/autostart", {tree.path() / "etc/xdg/autostart"}, name); };
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

// Each entry is shown as GLib reads it at login, and every switch leaves a file that GLib reads
// the way the switch says: values that are no boolean, lines GLib refuses, and entries past the
// size an older reader stopped at.
TEST_F(StartupItemsServiceTest, EntriesAreShownAndSwitchedAsGLibReadsThem) {
    ASSERT_TRUE(glib.available());
    const fs::path folder = tree.path() / "home/.config/autostart";
    const std::map<std::string, std::string> entries{
        {"capital-false.desktop", desktop("A", "a") + "X-GNOME-Autostart-enabled=False\n"},
        {"no.desktop", desktop("B", "b") + "X-GNOME-Autostart-enabled=no\n"},
        {"empty-value.desktop", desktop("C", "c") + "X-GNOME-Autostart-enabled=\n"},
        {"enabled-then-not.desktop", desktop("D", "d") + "X-GNOME-Autostart-enabled=true\nX-GNOME-Autostart-enabled=yes\n"},
        {"hidden-yes.desktop", desktop("E", "e") + "Hidden=yes\n"},
        {"hidden-capital.desktop", desktop("F", "f") + "Hidden=True\n"},
        {"hidden-blanks.desktop", desktop("G", "g") + "Hidden=\ttrue \t\r\n"},
        {"hidden-vertical-tab.desktop", desktop("H", "h") + "Hidden=true\v\n"},
        {"indented.desktop", "  [Desktop Entry]\n\tName=I\n Exec=i\n\fX-GNOME-Autostart-enabled = 0\n"},
        {"two-groups.desktop", desktop("J", "j") + "[Desktop Action x]\nName=x\n[Desktop Entry]\nHidden=1\n"},
        {"semicolon.desktop", desktop("K", "k") + "; a comment GLib does not take\n"},
        {"semicolon.disabled", desktop("L", "l") + "; a comment GLib does not take\nX-GNOME-Autostart-enabled=false\n"},
        {"false-and-hidden.disabled", desktop("M", "m") + "X-GNOME-Autostart-enabled=False\nHidden=1 \n"},
        {"bom.desktop", "\xEF\xBB\xBF" + desktop("N", "n")},
        {"key-first.desktop", "Name=O\n" + desktop("O", "o")},
        {"no-group.desktop", "[Other]\nName=P\n"},
        {"latin1.desktop", "[Desktop Entry]\nEncoding=Latin1\nName=Q\nExec=q\n"},
        {"locale-key.desktop", desktop("R", "r") + "Name[sr@latin]=R\nName[ar]=ر\n"},
        {"bad-locale.desktop", desktop("S", "s") + "Name[a b]=S\n"},
        {"big-hidden.desktop", desktop("T", "t") + "Hidden=true\n" + std::string(1'500'000, '#') + "\n"},
        {"crlf.desktop", "[Desktop Entry]\r\nName=U\r\nExec=u\r\nX-GNOME-Autostart-enabled=false\r\n"},
    };
    for (const auto& [name, text] : entries) user(name, text);
    auto listed = [&](const std::string& name) { return item(service.items(), name); };
    auto glibStarts = [&](const std::string& name) { return glib.startsAtLogin(folder, {tree.path() / "etc/xdg/autostart"}, name); };

    for (const auto& [name, text] : entries) {
        const StartupItem shown = listed(name);
        if (name.ends_with(".desktop")) EXPECT_EQ(shown.isEnabled, glibStarts(name)) << name;
        else EXPECT_FALSE(shown.isEnabled) << name;
        EXPECT_EQ(shown.isSwitchable(), glib.load(folder / name) && glib.load(folder / name)->hasEntryGroup) << name;
    }

    // Every switch that can be made leaves what GLib reads as on, then off, then on again.
    for (const auto& [name, text] : entries) {
        const StartupItem shown = listed(name);
        if (!shown.isSwitchable()) {
            EXPECT_THROW(service.setEnabled(shown, !shown.isEnabled), StartupError) << name;
            EXPECT_EQ(TempTree::read(folder / name), text) << name;
            continue;
        }
        fs::path stem = folder / name;
        stem.replace_extension();
        const std::string entryName = stem.filename().string() + ".desktop";
        for (const bool on : {true, false, true}) {
            const StartupItem before = fs::exists(folder / entryName) ? listed(entryName) : listed(stem.filename().string() + ".disabled");
            if (before.isEnabled == on) continue;
            service.setEnabled(before, on);
            EXPECT_EQ(glibStarts(entryName), on) << name << (on ? " on" : " off");
            EXPECT_EQ(listed(fs::exists(folder / entryName) ? entryName : stem.filename().string() + ".disabled").isEnabled, on) << name;
        }
    }
}

// Entries the desktop cannot read, or we could not, are never shown on and never switched; the
// row says why.
TEST_F(StartupItemsServiceTest, EntriesThatCannotBeReadSayWhyAndStayAsTheyAre) {
    user("semicolon.desktop", desktop("Semicolon", "s") + "; comment\n");
    user("no-group.desktop", "# only\n[Other]\nA=b\n");
    const fs::path huge = user("huge.desktop", desktop("Huge", "h"));
    fs::resize_file(huge, AutostartSwitch::maximumEntrySize + 1);
    const fs::path edge = user("edge.desktop", desktop("Edge", "e") + "Hidden=true\n#");
    fs::resize_file(edge, AutostartSwitch::maximumEntrySize);  // the bound itself is read
    fs::create_symlink("nowhere.desktop", tree.path() / "home/.config/autostart/dangling.desktop");
    tree.write("etc/xdg/autostart/broken.desktop", "[Desktop Entry]\nExec=broken\n;\n");

    const auto items = service.items();
    const StartupItem& semicolon = item(items, "semicolon.desktop");
    EXPECT_FALSE(semicolon.isEnabled);
    EXPECT_TRUE(semicolon.isKnown);
    EXPECT_TRUE(semicolon.canChange);
    EXPECT_FALSE(semicolon.isSwitchable());
    EXPECT_EQ(semicolon.readingProblem, AppLocalization::format("startup.problem.badLine", {5}));
    EXPECT_EQ(item(items, "no-group.desktop").readingProblem, AppLocalization::string("startup.problem.noEntryGroup"));
    EXPECT_EQ(item(items, "dangling.desktop").readingProblem, AppLocalization::string("startup.problem.notAFile"));
    EXPECT_FALSE(item(items, "dangling.desktop").isEnabled);

    const StartupItem& tooLarge = item(items, "huge.desktop");
    EXPECT_FALSE(tooLarge.isKnown);
    EXPECT_FALSE(tooLarge.isEnabled);
    EXPECT_FALSE(tooLarge.isSwitchable());
    EXPECT_EQ(tooLarge.name, "huge");
    EXPECT_TRUE(tooLarge.readingProblem.contains(ByteFormatting::string(std::int64_t(AutostartSwitch::maximumEntrySize))));
    const StartupItem& atBound = item(items, "edge.desktop");
    EXPECT_TRUE(atBound.isKnown);
    EXPECT_TRUE(atBound.isSwitchable());
    EXPECT_FALSE(atBound.isEnabled);  // hidden, read to its last byte

    const StartupItem& system = item(items, "broken.desktop");
    EXPECT_FALSE(system.isEnabled);
    EXPECT_EQ(system.readingProblem, AppLocalization::format("startup.problem.badLine", {3}));

    for (const char* name : {"semicolon.desktop", "huge.desktop"}) {
        try {
            service.setEnabled(item(items, name), false);
            FAIL() << name << " was switched";
        } catch (const StartupError& error) {
            EXPECT_EQ(error.errorCase(), StartupError::Case::notSwitchable);
            EXPECT_TRUE(QString::fromStdString(error.what()).contains(item(items, name).readingProblem));
        }
    }
    // Even an item listed before its file went bad is checked again at the moment of the switch.
    const fs::path later = user("later.desktop", desktop("Later", "l"));
    const StartupItem fine = item(service.items(), "later.desktop");
    std::string bad = desktop("Later", "l") + "Hidden\n";
    tree.write("home/.config/autostart/later.desktop", bad);
    EXPECT_THROW(service.setEnabled(fine, false), StartupError);
    EXPECT_EQ(TempTree::read(later), bad);
    EXPECT_EQ(fs::file_size(huge), AutostartSwitch::maximumEntrySize + 1);
    EXPECT_EQ(TempTree::read(tree.path() / "home/.config/autostart/semicolon.desktop"), desktop("Semicolon", "s") + "; comment\n");
}

// System entries come from autostart in every folder of XDG_CONFIG_DIRS: the first folder holding
// a name wins, and the user's folder masks them all.
TEST_F(StartupItemsServiceTest, SystemEntriesComeFromEveryConfigFolderTheFirstWinning) {
    ASSERT_TRUE(glib.available());
    SystemRoots folders = SystemRoots::fixture(tree.path());
    const fs::path vendor = tree.path() / "usr/etc/xdg";
    folders.configDirs = {vendor, tree.path() / "etc/xdg", vendor};  // a folder named twice counts once
    SystemRoots::install(folders);
    tree.write("usr/etc/xdg/autostart/shared.desktop", desktop("Vendor shared", "v") + "Hidden=true\n");
    tree.write("etc/xdg/autostart/shared.desktop", desktop("Shared", "s"));
    tree.write("etc/xdg/autostart/only-etc.desktop", desktop("Only etc", "o"));
    tree.write("usr/etc/xdg/autostart/masked.desktop", desktop("Vendor masked", "m"));
    tree.write("etc/xdg/autostart/masked.desktop", desktop("Masked", "m"));
    user("masked.desktop", "[Desktop Entry]\nHidden=true\n");

    const auto items = service.items();
    ASSERT_EQ(items.size(), 3u);
    const std::vector<fs::path> systemFolders{vendor / "autostart", tree.path() / "etc/xdg/autostart"};
    for (const StartupItem& each : items)
        EXPECT_EQ(each.isEnabled, glib.startsAtLogin(tree.path() / "home/.config/autostart", systemFolders, each.path.filename())) << each.id;
    EXPECT_EQ(item(items, "shared.desktop").path, vendor / "autostart/shared.desktop");
    EXPECT_FALSE(item(items, "shared.desktop").isEnabled);
    EXPECT_TRUE(item(items, "only-etc.desktop").isEnabled);
    const StartupItem& mask = item(items, "masked.desktop");
    EXPECT_TRUE(mask.canChange);
    EXPECT_EQ(mask.name, "Vendor masked");  // a bare mask borrows from the entry that wins

    // On for the mask: it goes, and the first system folder's entry is the one that starts.
    service.setEnabled(mask, true);
    EXPECT_TRUE(glib.startsAtLogin(tree.path() / "home/.config/autostart", systemFolders, "masked.desktop"));
    EXPECT_EQ(item(service.items(), "masked.desktop").path, vendor / "autostart/masked.desktop");
}

// A switch gives back the name it took: off and on again leaves every file as it was, byte for
// byte and name for name, whatever name the item had.
TEST_F(StartupItemsServiceTest, NamesComeBackAsTheyWere) {
    const fs::path autostart = tree.path() / "home/.config/autostart";
    const std::string byHand = desktop("Mandis", "mandis") + "# switched off by hand\r\n";
    user("mandis.desktop.disabled", byHand);
    const std::string upper = desktop("Upper", "upper");
    user("UpperExt.Desktop", upper);
    const std::string dropbox = desktop("Dropbox", "dropbox -i");
    user("dropbox.desktop", dropbox);
    user("dropbox.disabled", desktop("Dropbox (old)", "dropbox"));
    user("sync.desktop", desktop("Sync", "sync --daemon"));
    user("sync.desktop.disabled", desktop("Sync (by hand)", "sync"));

    auto items = service.items();
    ASSERT_EQ(items.size(), 4u);
    // Only a name the desktop reads is on.
    EXPECT_FALSE(item(items, "UpperExt.Desktop").isEnabled);
    EXPECT_FALSE(item(items, "mandis.desktop.disabled").isEnabled);
    EXPECT_EQ(item(items, "mandis.desktop.disabled").name, "Mandis");

    service.setEnabled(item(items, "mandis.desktop.disabled"), true);
    EXPECT_EQ(TempTree::read(autostart / "mandis.desktop"), byHand);
    EXPECT_FALSE(fs::exists(autostart / "mandis.desktop.desktop"));
    service.setEnabled(item(service.items(), "mandis.desktop"), false);
    service.setEnabled(item(service.items(), "mandis.disabled"), true);
    EXPECT_EQ(TempTree::read(autostart / "mandis.desktop"), byHand);

    // Off and on, each item the way it was listed on, comes back whole; nothing else is touched.
    for (const std::string name : {"dropbox.desktop", "mandis.desktop", "sync.desktop"}) {
        const std::string before = TempTree::read(autostart / name);
        service.setEnabled(item(service.items(), name), false);
        EXPECT_FALSE(fs::exists(autostart / name)) << name;
        const StartupItem off = item(service.items(), name.substr(0, name.find('.')) + ".disabled");
        EXPECT_FALSE(off.isEnabled) << name;
        service.setEnabled(off, true);
        EXPECT_EQ(TempTree::read(autostart / name), before) << name;
    }
    EXPECT_EQ(TempTree::read(autostart / "dropbox.disabled"), desktop("Dropbox (old)", "dropbox"));
    EXPECT_EQ(TempTree::read(autostart / "UpperExt.Desktop"), upper);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(autostart)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(TempTree::read(autostart / "sync.desktop.disabled"), desktop("Sync (by hand)", "sync"));
    EXPECT_EQ(names, (std::vector<std::string>{"UpperExt.Desktop", "dropbox.desktop", "dropbox.disabled", "mandis.desktop", "sync.desktop",
                                               "sync.desktop.disabled"}));
}

// An entry meant for other desktops is off under this one and says so; it cannot be switched here.
TEST_F(StartupItemsServiceTest, EntriesForOtherDesktopsAreOffAndSaySo) {
    user("kde-only.desktop", desktop("KDE only", "kdeonly") + "OnlyShowIn=KDE;\n");
    user("not-gnome.desktop", desktop("Not GNOME", "notgnome") + "NotShowIn=GNOME;XFCE;\n");
    tree.write("etc/xdg/autostart/xfce-only.desktop", desktop("Xfce only", "xfceonly") + "OnlyShowIn=XFCE;\n");
    auto states = [&](const char* desktops) {
        ::setenv("XDG_CURRENT_DESKTOP", desktops, 1);
        std::string shown;
        for (const StartupItem& each : service.items()) shown += each.name.toStdString() + (each.isEnabled ? " on" : " off") + (each.desktopNote.isEmpty() ? "" : " noted") + ";";
        return shown;
    };
    EXPECT_EQ(states("ubuntu:GNOME"), "KDE only off noted;Not GNOME off noted;Xfce only off noted;");
    EXPECT_EQ(states("KDE"), "KDE only on;Not GNOME on;Xfce only off noted;");
    EXPECT_EQ(states("XFCE"), "KDE only off noted;Not GNOME off noted;Xfce only on;");
    ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    const StartupItem kde = item(service.items(), "kde-only.desktop");
    EXPECT_FALSE(kde.isSwitchable());
    EXPECT_TRUE(kde.desktopNote.contains(QStringLiteral("KDE")));
    EXPECT_THROW(service.setEnabled(kde, false), StartupError);
    EXPECT_TRUE(fs::exists(tree.path() / "home/.config/autostart/kde-only.desktop"));
    ::unsetenv("XDG_CURRENT_DESKTOP");
}
