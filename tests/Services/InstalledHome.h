#pragma once

#include "Models/AppArtifact.h"
#include "Models/InstalledApplication.h"
#include "Platform/SettingsStore.h"
#include "Platform/SystemRoots.h"
#include "Services/UninstallerService.h"
#include "Support/InstalledFiles.h"
#include "Support/TempTree.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// The items listed for an application, in order, each with its tick.
using Items = std::vector<std::pair<std::filesystem::path, bool>>;

// Items, each with the install or repository that keeps it.
using UsedBy = std::vector<std::pair<std::filesystem::path, std::filesystem::path>>;

// What one application must show: its items and the size the list gives it, in a language.
struct Expected {
    std::string id;
    Items items;
    std::int64_t size = 0;
    std::string language = "en";
    // For a case in a home of its own: each leftover another install uses, with that install, and
    // the service the application's card names.
    UsedBy usedBy = {};
    std::filesystem::path runBy = {};
    RunnerKind runByKind = RunnerKind::service;
    // Each leftover a dotfiles repository keeps, with that repository.
    UsedBy keptIn = {};
};

// What the uninstaller listed for one application.
struct Listed {
    Items items;
    std::int64_t size = 0;
    std::vector<AppArtifact> artifacts;
};

// A home laid out as real installs lay it out: what each case expects, and what the uninstaller
// shows, in English and in Arabic. Each theme of cases is laid out by a member of its own, defined
// beside its rows.
class InstalledHome {
public:
    using Planter = void (InstalledHome::*)();
    // A case laid out alone, in a home of its own.
    using Layout = void (*)(InstalledHome&);
    // Every theme of the home most cases share.
    static const std::initializer_list<Planter> everyTheme;

    explicit InstalledHome(std::initializer_list<Planter> themes = everyTheme);
    explicit InstalledHome(Layout layout);
    ~InstalledHome() { SystemRoots::install(SystemRoots::machine()); }

    std::filesystem::path home(const std::string& relative) const { return tree.path() / "home" / relative; }
    // What the uninstaller shows for one application in the language, asked once.
    const Listed& listed(const std::string& language, const std::string& id);
    // Every listed application in the language, by desktop-file ID.
    std::map<std::string, Listed> listAll(const std::string& language);
    std::vector<InstalledApplication> applications(const std::string& language);
    // Every entry of the home, with the places it names.
    std::vector<std::pair<std::filesystem::path, std::vector<std::filesystem::path>>> namedPlaces();

    TempTree tree;
    UninstallerService service;
    std::map<std::string, Expected> expected;  // by case name

    void plantOwnPrograms();
    void plantRunnersAndStores();
    void plantUnpackedFolders();
    void plantNames();
    void plantDrives();
    void plantLaunchers();
    void plantNamedPlaces();
    void plantNamesakes();

    std::int64_t entryBytes() const { return entryBytes_; }
    std::filesystem::path link(const std::filesystem::path& target, const std::string& relative) const;
    std::filesystem::path entry(const std::string& relative, const std::string& name, const std::string& keys) const {
        return tree.write(relative, "[Desktop Entry]\nType=Application\nName=" + name + "\n" + keys);
    }
    std::filesystem::path userEntry(const std::string& id, const std::string& name, const std::string& keys) const {
        return entry("home/.local/share/applications/" + id + ".desktop", name, keys);
    }
    // A launcher script in ~/.local/bin, as a user writes one in front of a program.
    std::filesystem::path wrapper(const std::string& name, const std::string& body) const {
        return InstalledFiles::executable(tree.write("home/.local/bin/" + name, "#!/bin/sh\n" + body + "\n"));
    }
    // An AppImage in ~/Applications and its entry, which runs it as it lies unless `exec` says otherwise.
    std::pair<std::filesystem::path, std::filesystem::path> anAppImage(const std::string& id, const std::string& name, const std::string& image,
                                                                       const std::string& exec = "") const;
    void expect(const char* name, std::string id, Items items, std::int64_t size, std::string language = "en") {
        expected[name] = {std::move(id), std::move(items), size, std::move(language)};
    }
    void expect(const char* name, std::string id, Items items, std::int64_t size, UsedBy usedBy,
                std::filesystem::path runBy = {}, RunnerKind runByKind = RunnerKind::service) {
        expected[name] = {std::move(id), std::move(items), size, "en", std::move(usedBy), std::move(runBy), runByKind};
    }

private:
    void layMachine();
    void settle();
    // Runs `ask` in this home, in the language, with the search path a session would have: whatever
    // another test installed since.
    template <typename Ask>
    auto inSession(const std::string& language, Ask ask) {
        SystemRoots::install(roots_);
        SettingsStore::shared().setValue("appLanguage", QString::fromStdString(language));
        const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", "/home/.local/bin:/usr/bin:/home/linuxbrew/.linuxbrew/bin", 1);  // machine paths, under the fixture's root; /usr/games left out
        auto answer = ask();
        ::setenv("PATH", previousPath.c_str(), 1);
        SettingsStore::shared().remove("appLanguage");
        return answer;
    }

    std::map<std::string, std::map<std::string, Listed>> listed_;  // by language, then desktop-file ID
    std::map<std::string, std::vector<InstalledApplication>> shown_;  // by language, as last listed
    SystemRoots roots_;
    std::int64_t entryBytes_ = 0;  // what one entry takes: a block
};

// One home for every case: it is laid out once, and each application listed once.
InstalledHome& sharedHome();

// Each case of the home: whether the uninstaller shows what it expects.
class ApplicationFate : public ::testing::TestWithParam<const char*> {};

// A case in a home of its own, where nothing else keeps what it leaves.
struct FreshCase {
    const char* name;
    InstalledHome::Layout layout;
};
inline void PrintTo(const FreshCase& each, std::ostream* out) { *out << each.name; }
class FreshHomeFate : public ::testing::TestWithParam<FreshCase> {};
