#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// Programs that stand alone, and what is not the user's.
void InstalledHome::plantOwnPrograms() {
    // Programs that stand alone and are named after their application.
    const fs::path foo = appImage(tree, "home/Applications/Foo-1.2-x86_64.AppImage", 500000);
    const fs::path fooEntry = userEntry("foo", "Foo", "Exec=~/Applications/Foo-1.2-x86_64.AppImage %U\n");
    const std::int64_t file = allocated(fooEntry);  // every entry takes one block
    const fs::path fooData = tree.file("home/.config/Foo/settings", 3000).parent_path();
    expect("AppImageGoesWithItsSettings", "foo", {{fooEntry, true}, {foo, true}, {fooData, true}}, file + allocated(foo));
    const fs::path bar = appImage(tree, "home/Applications/bar-2.0-x86_64.AppImage", 300000);
    const fs::path barEntry = userEntry("appimagekit_77ab-Bar", "Bar", "Exec=\"/home/Applications/bar-2.0-x86_64.AppImage\" %U\nX-AppImage-Version=2.0\n");
    expect("IntegratedAppImageGoes", "appimagekit_77ab-Bar", {{barEntry, true}, {bar, true}}, file + allocated(bar));
    const fs::path mytool = compiled(tree, "home/.local/bin/mytool", 20000);
    const fs::path mytoolEntry = userEntry("mytool", "MyTool", "Exec=env LANG=C mytool --gui\n");
    expect("CompiledProgramInLocalBinGoes", "mytool", {{mytoolEntry, true}, {mytool, true}}, file + allocated(mytool));
    const fs::path alacritty = compiled(tree, "home/.cargo/bin/alacritty", 90000);
    tree.file("home/.cargo/registry/cache/x", 100);
    const fs::path alacrittyEntry = userEntry("Alacritty", "Alacritty", "Exec=~/.cargo/bin/alacritty\n");
    expect("CompiledProgramInCargoBinGoes", "Alacritty", {{alacrittyEntry, true}, {alacritty, true}}, file + allocated(alacritty));
    // Never the whole of ~/go with its module cache, nor the home above ~/bin.
    const fs::path lazygit = compiled(tree, "home/go/bin/lazygit", 30000);
    tree.file("home/go/pkg/mod/cache/download/x", 90000);
    const fs::path lazygitEntry = userEntry("lazygit", "lazygit", "Exec=~/go/bin/lazygit\n");
    expect("CompiledProgramInGoBinGoes", "lazygit", {{lazygitEntry, true}, {lazygit, true}}, file + allocated(lazygit));
    const fs::path ncdu = compiled(tree, "home/bin/ncdu", 20000);
    const fs::path ncduEntry = userEntry("ncdu", "ncdu", "Exec=~/bin/ncdu\n");
    expect("CompiledProgramInHomeBinGoes", "ncdu", {{ncduEntry, true}, {ncdu, true}}, file + allocated(ncdu));
    // Reached through a linked folder of the home: the file itself still stands alone.
    link(home("Applications"), "Linked");
    const fs::path qux = appImage(tree, "home/Applications/qux.AppImage", 40000);
    const fs::path quxEntry = userEntry("qux", "Qux", "Exec=~/Linked/qux.AppImage\n");
    expect("AppImageThroughALinkedFolderGoes", "qux", {{quxEntry, true}, {home("Linked/qux.AppImage"), true}}, file + allocated(qux));
    // Only what lies directly in a program folder stands alone.
    compiled(tree, "home/.local/bin/helpers/btop", 20000);
    const fs::path btopEntry = userEntry("btop", "btop", "Exec=~/.local/bin/helpers/btop\n");
    expect("ProgramBelowAProgramFolderIsOnlyOffered", "btop", {{btopEntry, false}, {home(".local/bin/helpers"), false}},
           file + du(home(".local/bin/helpers")));

    tree.file("home/My Apps/spaced", 30000);
    const fs::path spacedEntry = userEntry("spaced", "Spaced", "Exec=\"/home/My Apps/spaced\" --new-window %U\n");
    expect("FolderWithASpaceIsOffered", "spaced", {{spacedEntry, false}, {home("My Apps"), false}}, file + du(home("My Apps")));
    // Not the user's: a path relative to nobody knows where, a folder beside the home folder whose
    // name starts with the home's, a file a package installed into the home folder.
    tree.file("home/Work/relative", 9000);
    expect("RelativePathStays", "relative", {{userEntry("relative", "relative", "Exec=Work/relative\n"), false}}, file);
    compiled(tree, "homestead/tool", 9000);
    expect("FolderBesideTheHomeStays", "homestead", {{userEntry("homestead", "tool", "Exec=/homestead/tool\n"), false}}, file);
    compiled(tree, "home/Vendor/packaged", 80000);
    tree.write("var/lib/dpkg/info/vendor.list", "/home/Vendor/packaged\n");
    expect("PackagedProgramInTheHomeStays", "packaged", {{userEntry("packaged", "packaged", "Exec=~/Vendor/packaged\n"), false}}, file);
    compiled(tree, "home/.local/bin/vendortool", 30000);
    tree.write("var/lib/dpkg/info/vendortool.list", "/home/.local/bin/vendortool\n");
    expect("PackagedProgramInLocalBinStays", "vendortool", {{userEntry("vendortool", "vendortool", "Exec=vendortool\n"), false}}, file);
}

namespace {

constexpr std::array ownProgramCases{
    "AppImageGoesWithItsSettings", "IntegratedAppImageGoes", "CompiledProgramInLocalBinGoes", "CompiledProgramInCargoBinGoes",
    "CompiledProgramInGoBinGoes", "CompiledProgramInHomeBinGoes", "AppImageThroughALinkedFolderGoes",
    "ProgramBelowAProgramFolderIsOnlyOffered", "FolderWithASpaceIsOffered", "RelativePathStays", "FolderBesideTheHomeStays",
    "PackagedProgramInTheHomeStays", "PackagedProgramInLocalBinStays",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(OwnPrograms, ApplicationFate, ::testing::ValuesIn(ownProgramCases), [](const auto& row) { return std::string(row.param); });
