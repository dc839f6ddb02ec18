#include "Platform/DpkgDatabase.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// The programs each package installs, as the database says now: a package installed, upgraded or
// removed since the last read is seen at the next.
TEST(DpkgDatabase, ProgramsByPackageFollowTheDatabase) {
    TempTree tree;
    tree.write("var/lib/dpkg/info/imagemagick-6.q16.list", "/.\n/usr\n/usr/bin\n/usr/bin/convert-im6.q16\n/usr/share/doc/imagemagick-6.q16/README\n");
    tree.write("var/lib/dpkg/info/fortune-mod.list", "/usr/games/fortune\n/usr/sbin/strfile\n/usr/lib/x86_64-linux-gnu/libbin/x\n");
    using Programs = std::vector<std::string>;
    auto programs = DpkgDatabase::programsByPackage(tree.path());
    EXPECT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs["imagemagick-6.q16"], (Programs{"/usr/bin/convert-im6.q16"}));
    EXPECT_EQ(programs["fortune-mod"], (Programs{"/usr/games/fortune", "/usr/sbin/strfile"}));

    tree.write("var/lib/dpkg/info/imagemagick-6.q16.list", "/usr/bin/convert-im6.q16\n/usr/bin/display-im6.q16\n");
    fs::remove(tree.path() / "var/lib/dpkg/info/fortune-mod.list");
    tree.write("var/lib/dpkg/info/htop:amd64.list", "/usr/bin/htop\n");
    programs = DpkgDatabase::programsByPackage(tree.path());
    EXPECT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs["imagemagick-6.q16"], (Programs{"/usr/bin/convert-im6.q16", "/usr/bin/display-im6.q16"}));
    EXPECT_EQ(programs["htop:amd64"], (Programs{"/usr/bin/htop"}));
}
