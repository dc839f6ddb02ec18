#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Services/StartupItemsService.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <sys/stat.h>

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

    // A file that has gone since the list was made fails with the file system's error.
    fs::remove(tree.path() / "home/.config/autostart/y.disabled");
    StartupItem gone = item(items, "y.disabled");
    EXPECT_THROW(service.setEnabled(gone, true), std::system_error);
}
