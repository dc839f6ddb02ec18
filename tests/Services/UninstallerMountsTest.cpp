#include "Services/UninstallerService.h"
#include "Support/FixtureRoots.h"
#include "Support/ForkedChild.h"
#include "Support/InstalledFiles.h"
#include "Support/TempTree.h"

#include <sys/mount.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;
using ForkedChild::check;

namespace {

// An application of the user's own: its AppImage at `program` (below the home), its entry beside.
struct OwnApplication {
    OwnApplication(const std::string& id, const std::string& program) {
        appImage(tree, "home/" + program, 40000);
        tree.write("home/.local/share/applications/" + id + ".desktop", "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=~/" + program + "\n");
    }
    fs::path home(const std::string& relative) const { return tree.path() / "home" / relative; }
    std::vector<AppArtifact> artifacts() {
        const auto applications = service.installedApplications();
        return applications.size() == 1 ? service.artifacts(applications.front()) : std::vector<AppArtifact>{};
    }
    static bool ticked(const std::vector<AppArtifact>& artifacts, const fs::path& path) {
        return std::any_of(artifacts.begin(), artifacts.end(), [&](const AppArtifact& artifact) { return artifact.path == path && artifact.isSelected; });
    }

    TempTree tree;
    FixtureRoots roots{tree.path()};
    UninstallerService service;
};

}  // namespace

// A rename carries whatever is mounted below: a leftover holding a vault, or one that is itself a
// drive, is never ticked; one mounted after the listing keeps its folder from the move, and the
// other items go all the same.
TEST(UninstallerMounts, AnotherFileSystemIsNeitherTickedNorMoved) {
    if (!ForkedChild::isRoot()) GTEST_SKIP() << "needs root to mount";
    OwnApplication vault("vault", "Applications/vault.AppImage");
    const fs::path holder = vault.tree.folder("home/.local/share/vault/mnt/Private").parent_path().parent_path();
    const fs::path drive = vault.tree.folder("home/.config/vault");
    const fs::path cache = vault.tree.file("home/.cache/vault/later/blob", 4000).parent_path().parent_path();
    const std::string failures = ForkedChild::runInMountNamespace([&] {
        auto mountOn = [](const fs::path& folder) { return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") == 0; };
        if (!mountOn(holder / "mnt/Private") || !mountOn(drive)) return std::string(ForkedChild::mountFailed);
        vault.tree.write("home/.local/share/vault/mnt/Private/tax-return.pdf", "secret");
        std::string found;
        auto artifacts = vault.artifacts();
        check(found, artifacts.size() == 5, "items listed: " + std::to_string(artifacts.size()));
        check(found, OwnApplication::ticked(artifacts, vault.home("Applications/vault.AppImage")), "its program unticked");
        check(found, OwnApplication::ticked(artifacts, cache), "its cache unticked");
        check(found, !OwnApplication::ticked(artifacts, holder), "the folder holding a vault ticked");
        check(found, !OwnApplication::ticked(artifacts, drive), "a drive ticked");
        if (!mountOn(cache / "later")) return std::string(ForkedChild::mountFailed);
        for (AppArtifact& artifact : artifacts) artifact.isSelected = true;
        try {
            vault.service.moveToTrash(artifacts);
            check(found, false, "everything moved");
        } catch (const UninstallError& error) {
            check(found, error.movedLocations().size() == 2, "moved: " + std::to_string(error.movedLocations().size()));
            const auto& refused = error.failures();
            check(found, refused.size() == 3 && std::all_of(refused.begin(), refused.end(), [](const TrashError& each) { return each.reason() == TrashError::Reason::mounted; }),
                  "refused: " + std::to_string(refused.size()));
        }
        check(found, fs::exists(holder / "mnt/Private/tax-return.pdf") && fs::exists(drive) && fs::exists(cache / "later"), "a mount moved");
        return found;
    });
    if (ForkedChild::cannotMount(failures)) GTEST_SKIP() << failures;
    EXPECT_EQ(failures, "");
}

// Whatever order the items come in, the AppImage leaves its data folder before the folder goes.
TEST(UninstallerMounts, AnItemInsideAnotherChosenOneGoesFirst) {
    OwnApplication cider("cider", ".local/share/cider/Cider-2.5.0.AppImage");
    cider.tree.file("home/.local/share/cider/cache/x", 4000);
    auto artifacts = cider.artifacts();
    ASSERT_EQ(artifacts.size(), 3u);
    std::reverse(artifacts.begin(), artifacts.end());
    EXPECT_EQ(cider.service.moveToTrash(artifacts).size(), 3u);
    EXPECT_TRUE(fs::exists(cider.home(".local/share/Trash/files/Cider-2.5.0.AppImage")));
    EXPECT_FALSE(fs::exists(cider.home(".local/share/cider")));
}
