#include "Services/InstalledHome.h"

#include "Models/ArtifactSelection.h"
#include "Models/PackageKind.h"
#include "Foundation/LiesWithin.h"

#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

namespace {

// The names of the rows of every theme, as the test runner holds them.
std::set<std::string> rowNames() {
    std::set<std::string> names;
    const ::testing::UnitTest& tests = *::testing::UnitTest::GetInstance();
    for (int suite = 0; suite < tests.total_test_suite_count(); ++suite) {
        const ::testing::TestSuite& each = *tests.GetTestSuite(suite);
        if (!std::string_view(each.name()).ends_with("/ApplicationFate")) continue;
        for (int row = 0; row < each.total_test_count(); ++row) {
            const std::string_view name = each.GetTestInfo(row)->name();
            names.emplace(name.substr(name.find('/') + 1));
        }
    }
    return names;
}

}  // namespace

// One rule for every kind of install: an application goes only with its own program, a compiled one
// or an AppImage of the user's that stands alone, that no other entry runs, that lies among no other
// application's files and that is named after it; or, when the user chooses it, with the folder it
// was unpacked into. A script is never an application's own program; a program that is not found
// leaves only its launcher to take. Nothing of an application that stays is ticked, nor anything that
// holds another application; every size is what would move, hidden contents included.
TEST_P(ApplicationFate, ShowsWhatItsProgramProves) {
    InstalledHome& home = sharedHome();
    const auto expected = home.expected.find(GetParam());
    ASSERT_NE(expected, home.expected.end()) << "no such case";
    const Listed& found = home.listed(expected->second.language, expected->second.id);
    ASSERT_EQ(found.items.empty(), expected->second.items.empty()) << expected->second.id << (found.items.empty() ? " not listed" : " listed");
    EXPECT_EQ(found.items, expected->second.items);
    EXPECT_EQ(found.size, expected->second.size);
}

// The same, for a case laid out in a home of its own: also which install uses what stays, which
// dotfiles repository keeps it, and which service keeps the application.
TEST_P(FreshHomeFate, ShowsWhatItsProgramProves) {
    InstalledHome home(GetParam().layout);
    const auto expected = home.expected.find(GetParam().name);
    ASSERT_NE(expected, home.expected.end()) << "no such case";
    const Listed& found = home.listed(expected->second.language, expected->second.id);
    ASSERT_FALSE(found.items.empty()) << expected->second.id << " not listed";
    EXPECT_EQ(found.items, expected->second.items);
    EXPECT_EQ(found.size, expected->second.size);
    std::vector<std::pair<fs::path, fs::path>> usedBy;
    for (const AppArtifact& artifact : found.artifacts)
        if (!artifact.usedBy.empty()) usedBy.emplace_back(artifact.path, artifact.usedBy);
    EXPECT_EQ(usedBy, expected->second.usedBy);
    std::vector<std::pair<fs::path, fs::path>> keptIn;
    for (const AppArtifact& artifact : found.artifacts)
        if (!artifact.keptInDotfiles.empty()) keptIn.emplace_back(artifact.path, artifact.keptInDotfiles);
    EXPECT_EQ(keptIn, expected->second.keptIn);
    for (const InstalledApplication& application : home.applications("en"))
        if (application.desktopFileID.toStdString() == expected->second.id) {
            EXPECT_EQ(application.runBy, expected->second.runBy);
            EXPECT_EQ(application.runByKind, expected->second.runByKind);
        }
}

// Every row is a case of the home and every case a row; every listed application is a case.
TEST(ApplicationFates, EveryApplicationIsACase) {
    InstalledHome& home = sharedHome();
    const std::set<std::string> named = rowNames();
    std::set<std::string> expected;
    std::set<std::string> caseIDs;
    for (const auto& [name, each] : home.expected) {
        expected.insert(name);
        if (!each.items.empty()) caseIDs.insert(each.id);
    }
    EXPECT_EQ(named, expected);
    std::set<std::string> ids;
    for (const InstalledApplication& application : home.applications("en")) ids.insert(application.desktopFileID.toStdString());
    EXPECT_EQ(ids, caseIDs);
}

// Whatever the application, in whatever language: either its own program is ticked, or none of its
// leftovers is.
TEST(ApplicationFates, NoLeftoverIsTickedWithoutItsProgram) {
    for (const char* language : {"en", "ar"})
        for (const auto& [id, listed] : sharedHome().listAll(language)) {
            const auto& artifacts = listed.artifacts;
            const bool programTicked = std::any_of(artifacts.begin() + (artifacts.empty() ? 0 : 1), artifacts.end(), [](const AppArtifact& artifact) {
                return artifact.category == ArtifactCategory::application && artifact.isSelected;
            });
            const bool leftoverTicked = std::any_of(artifacts.begin(), artifacts.end(), [](const AppArtifact& artifact) {
                return artifact.category != ArtifactCategory::application && artifact.isSelected;
            });
            EXPECT_TRUE(programTicked || !leftoverTicked) << id << " in " << language;
        }
}

// Whatever the application: no ticked item is, or holds, a place that another entry names (its
// program, its working folder, a path in its commands or its actions), autostart and Desktop entries too.
TEST(ApplicationFates, NothingTickedHoldsWhatAnotherEntryNames) {
    InstalledHome& home = sharedHome();
    const auto named = home.namedPlaces();
    for (const auto& [id, listed] : home.listAll("en")) {
        const fs::path entry = fs::canonical(listed.artifacts.at(0).path);
        for (const AppArtifact& artifact : listed.artifacts) {
            const fs::path item = fs::canonical(artifact.path.parent_path()) / artifact.path.filename();
            for (const auto& [other, places] : named)
                for (const fs::path& place : places)
                    EXPECT_FALSE(artifact.isSelected && other != entry && liesWithin(place, item)) << id << ": " << item << " holds " << place << " of " << other;
        }
    }
}

// Each item measured whole, hidden contents included; locked, each naming the tool that removes it.
TEST(ApplicationFates, StoresAndPackagesAreLockedAndMeasuredWhole) {
    InstalledHome& home = sharedHome();
    const std::string thunderbird = "org.mozilla.Thunderbird";
    const auto& mail = home.listed("en", thunderbird).artifacts.at(1);
    EXPECT_EQ(mail.size, du(home.home(".var/app/" + thunderbird)));
    EXPECT_GT(mail.size, 700000);
    EXPECT_LT(mail.size, 2 * 700000);
    using Lock = std::pair<std::string, PackageKind>;
    auto lock = [&](const std::string& id) {
        const AppArtifact& entry = home.listed("en", id).artifacts.at(0);
        return Lock{entry.package, entry.packageKind};
    };
    EXPECT_EQ(lock(thunderbird), (Lock{thunderbird, PackageKind::userFlatpak}));
    EXPECT_EQ(lock("org.gnome.Maps"), (Lock{"org.gnome.Maps", PackageKind::flatpak}));
    EXPECT_EQ(lock("firefox_firefox"), (Lock{"firefox", PackageKind::snap}));
    EXPECT_EQ(lock("htop"), (Lock{"htop", PackageKind::debian}));
    EXPECT_EQ(lock("vim"), (Lock{"vim", PackageKind::debian}));
}

// What was listed goes, and nothing else: the AppImage without the package's settings, an unpacked
// folder once chosen; a launcher's settings that hold a game stay unticked once it is gone.
TEST(ApplicationFates, WhatGoesIsWhatWasTicked) {
    InstalledHome home;
    auto artifacts = [&](const std::string& id) { return home.listed("en", id).artifacts; };
    EXPECT_EQ(home.service.moveToTrash(artifacts("appimagekit_htop")).size(), 2u);
    EXPECT_FALSE(fs::exists(home.home("Applications/htop-3.3.0-x86_64.AppImage")));
    EXPECT_TRUE(fs::exists(home.home(".config/htop")));

    auto firefox = artifacts("firefox");
    for (AppArtifact& artifact : firefox) artifact.isSelected = true;
    EXPECT_EQ(home.service.moveToTrash(firefox).size(), 2u);
    EXPECT_FALSE(fs::exists(home.home("firefox")));
    EXPECT_FALSE(fs::exists(home.home(".local/share/applications/firefox.desktop")));

    // balenaEtcher goes whole; Godot's folder, where its AppImage lay, is then only offered.
    EXPECT_EQ(home.service.moveToTrash(artifacts("balena-etcher")).size(), 3u);
    EXPECT_FALSE(fs::exists(home.home("Apps/balenaEtcher-1.18.11-x64.AppImage")));

    fs::remove(home.home(".itch/itch"));
    const auto after = home.listAll("en");
    EXPECT_EQ(after.at("io.itch.itch").items, (Items{{home.home(".local/share/applications/io.itch.itch.desktop"), true}, {home.home(".config/itch"), false}}));
    EXPECT_EQ(after.at("org.godotengine.Godot").items, (Items{{home.home(".local/share/applications/org.godotengine.Godot.desktop"), false},
                                                             {home.home("Apps"), false},
                                                             {home.home(".local/share/godot"), false}}));
    EXPECT_FALSE(after.contains("balena-etcher"));
}

// What is selected is what the move takes: an AppImage inside its ticked data folder counts once, and
// goes with that folder even unticked.
TEST(ApplicationFates, AnItemInsideATickedOneCountsOnce) {
    InstalledHome& home = sharedHome();
    auto artifacts = home.listed("en", "sh.cider.Cider").artifacts;
    ASSERT_EQ(artifacts.size(), 3u);
    EXPECT_EQ(ArtifactSelection::bytes(artifacts), artifacts[0].size + du(home.home(".local/share/cider")));
    artifacts[1].isSelected = false;
    EXPECT_TRUE(ArtifactSelection::goes(artifacts[1], artifacts));
    artifacts[2].isSelected = false;
    EXPECT_FALSE(ArtifactSelection::goes(artifacts[1], artifacts));
}
