#include "Support/FifoWatch.h"
#include "Support/TempTree.h"
#include "Views/Common/IconLookup.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

fs::path fifo(const fs::path& path) {
    fs::create_directories(path.parent_path());
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    return path;
}

}  // namespace

TEST(IconLookup, TheBestSizeOfTheFirstThemeThatHasTheIcon) {
    TempTree tree;
    for (const char* file : {"system/Mine/16x16/apps/editor.png", "system/Mine/128x128/apps/editor.png", "system/Mine/256x256/apps/editor.png",
                             "system/Mine/scalable/apps/editor.svg", "system/Mine/32x32@2/apps/small.png", "system/Mine/24x24/apps/small.png",
                             "system/Mine/scalable/apps/vector.svg", "system/Mine/48x48/apps/vector.png", "system/Mine/512x512/apps/vector.png",
                             "system/Mine/512x512/apps/page.png", "system/Mine/48x48/apps/page.png", "user/Mine/apps/64/breeze.svg",
                             "system/hicolor/48x48/apps/editor.png", "system/hicolor/48x48/apps/other.png", "pixmaps/old.xpm",
                             "pixmaps/editor.png", "system/Mine/symbolic/apps/mono-symbolic.svg"})
        tree.file(file, 10);
    const IconLookup lookup({{tree.path() / "user", tree.path() / "system"}, {"Mine", "hicolor", "Mine"}, {tree.path() / "pixmaps"}});
    auto files = [&](const char* name) { return lookup.files(name); };
    auto at = [&](std::initializer_list<const char*> relative) {
        std::vector<fs::path> paths;
        for (const char* file : relative) paths.push_back(tree.path() / file);
        return paths;
    };
    // The largest of 128 to 256, then the smaller bitmaps for small rows.
    EXPECT_EQ(files("editor"), at({"system/Mine/256x256/apps/editor.png", "system/Mine/128x128/apps/editor.png", "system/Mine/16x16/apps/editor.png"}));
    EXPECT_EQ(files("small"), at({"system/Mine/32x32@2/apps/small.png", "system/Mine/24x24/apps/small.png"}));  // 64 dense pixels beat 24
    EXPECT_EQ(files("vector"), at({"system/Mine/scalable/apps/vector.svg", "system/Mine/48x48/apps/vector.png"}));
    EXPECT_EQ(files("page"), at({"system/Mine/48x48/apps/page.png"}));  // a huge page scaled down loses its lines
    EXPECT_EQ(files("breeze"), at({"user/Mine/apps/64/breeze.svg"}));  // context before size
    EXPECT_EQ(files("other"), at({"system/hicolor/48x48/apps/other.png"}));
    EXPECT_EQ(files("old"), at({"pixmaps/old.xpm"}));
    EXPECT_TRUE(files("mono-symbolic").empty());  // a folder of no size
    EXPECT_TRUE(files("missing").empty());
}

// Theme folders in the user's home can hold anything under an icon's name. Only a regular file is a
// candidate, nothing is opened, and a name that climbs out of the folders is no name.
TEST(IconLookup, OnlyARegularFileIsFoundAndNoFileIsOpened) {
    TempTree tree;
    const fs::path theme = tree.path() / "icons/hicolor";
    tree.file("icons/hicolor/16x16/apps/aaaevil2.png", 10);
    std::vector<fs::path> fifos{fifo(theme / "48x48/apps/aaaevil2.png"), fifo(theme / "index.theme"), fifo(theme / "icon-theme.cache"),
                                fifo(theme / "scalable/apps/aaaevil4.svg"), fifo(tree.path() / "elsewhere/evil.png"),
                                fifo(tree.path() / "pixmaps/aaaevil5.png")};
    fs::create_directory_symlink(fifos[4].parent_path(), theme / "32x32");  // a size folder that is a link
    fs::create_symlink(fifos[4], theme / "48x48/apps/aaaevil.png");
    tree.folder("icons/hicolor/64x64/apps/aaaevil3.png");
    std::vector<std::unique_ptr<FifoWatch>> watches;
    for (const fs::path& path : fifos) watches.push_back(std::make_unique<FifoWatch>(path));

    const IconLookup lookup({{tree.path() / "icons"}, {"hicolor"}, {tree.path() / "pixmaps"}});
    EXPECT_EQ(lookup.files("aaaevil2"), std::vector<fs::path>{theme / "16x16/apps/aaaevil2.png"});
    for (const char* name : {"aaaevil", "aaaevil3", "aaaevil4", "aaaevil5", "evil"}) EXPECT_TRUE(lookup.files(name).empty()) << name;
    const std::string climbing = "../../../../elsewhere/evil";
    ASSERT_TRUE(fs::exists(fs::status(theme / "48x48/apps" / (climbing + ".png"))));
    for (const QString& name : {QString::fromStdString(climbing), QStringLiteral("apps/aaaevil2"), QStringLiteral(".."), QString()})
        EXPECT_FALSE(IconLookup::isThemeName(name)) << name.toStdString();
    EXPECT_TRUE(lookup.files(QString::fromStdString(climbing)).empty());
    for (size_t i = 0; i < watches.size(); ++i) EXPECT_FALSE(watches[i]->waited()) << fifos[i];
}
