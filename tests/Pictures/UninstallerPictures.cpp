#include "Pictures/PictureRegistry.h"

#include "Services/AppState.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallError.h"
#include "Services/FakeAppServices.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Uninstaller/AppListCard.h"
#include "Views/Uninstaller/UninstallerFilterField.h"
#include "Views/Uninstaller/UninstallerView.h"
#include "ViewSupport/UninstallerFixture.h"

#include <QDir>
#include <QLineEdit>

#include <map>
#include <tuple>

namespace {

using Path = std::filesystem::path;
using Fixture = UninstallerFixture;

std::vector<InstalledApplication> someApplications() {
    auto app = [](const std::string& id, const QString& name, std::int64_t size, const QString& version, const std::string& icon) {
        InstalledApplication application = Fixture::application(id, name, size, version);
        application.iconName = icon;
        return application;
    };
    return {app("org.gnome.Calculator", "Calculator", 9'400'000, "1:46.1-1", "org.gnome.Calculator"),
            app("org.example.Editor", "Code Editor", 312'000'000, "1.92.2", "accessories-text-editor"),
            app("firefox", "Firefox", 4'096, "\u2014", "firefox"),
            app("org.gnome.Maps", "Maps", 4'100'000, "46.11-1", "org.gnome.Maps"),
            app("syncthing", "Syncthing", 0, "\u2014", ""),
            app("vlc", "VLC media player", 71'500'000, "3.0.21-0", "vlc")};
}

std::vector<AppArtifact> editorLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/org.example.Editor.desktop", 312'000'000, ArtifactCategory::application),
            Fixture::artifact(home / ".config/Code Editor", 486'000'000, ArtifactCategory::support),
            Fixture::artifact(home / ".cache/org.example.Editor", 1'240'000'000, ArtifactCategory::cache),
            Fixture::artifact(home / ".cache/org.example.Editor.updater", 88'000'000, ArtifactCategory::cache, false),
            Fixture::artifact(home / ".config/org.example.Editor", 12'000, ArtifactCategory::preference),
            Fixture::artifact(home / ".var/app/org.example.Editor", 64'000'000, ArtifactCategory::container),
            Fixture::artifact(home / ".local/state/org.example.Editor", 220'000, ArtifactCategory::savedState)};
}

// A packaged application: its menu entry belongs to the package and is locked, and as it stays
// installed nothing of it is ticked.
std::vector<AppArtifact> calculatorLeftovers() {
    const Path home = "/home/maya";
    AppArtifact entry = Fixture::artifact("/usr/share/applications/org.gnome.Calculator.desktop", 9'400'000, ArtifactCategory::application, false);
    entry.package = "gnome-calculator";
    return {entry, Fixture::artifact(home / ".cache/org.gnome.Calculator", 2'300'000, ArtifactCategory::cache, false),
            Fixture::artifact(home / ".local/share/gnome-calculator", 640'000, ArtifactCategory::support, false),
            Fixture::artifact(home / ".config/org.gnome.Calculator", 8'000, ArtifactCategory::preference, false)};
}

// The user's own copy of a system launcher: moving it brings the system's back, so the application
// stays installed and nothing of it is ticked.
std::vector<AppArtifact> firefoxLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/firefox.desktop", 4'096, ArtifactCategory::application, false),
            Fixture::artifact(home / ".cache/mozilla", 412'000'000, ArtifactCategory::cache, false),
            Fixture::artifact(home / ".mozilla", 236'000'000, ArtifactCategory::support, false)};
}

// A Flatpak of the user's own installation: its entry is locked and names the command that removes
// it; its data, all in hidden folders, is measured whole and left unticked while it stays installed.
std::vector<AppArtifact> thunderbirdLeftovers() {
    const Path home = "/home/maya";
    AppArtifact entry = Fixture::artifact(home / ".local/share/flatpak/exports/share/applications/org.mozilla.Thunderbird.desktop", 30'200'000,
                                          ArtifactCategory::application, false);
    entry.package = "org.mozilla.Thunderbird";
    entry.packageKind = PackageKind::userFlatpak;
    return {entry, Fixture::artifact(home / ".var/app/org.mozilla.Thunderbird", 7'700'000, ArtifactCategory::container, false)};
}

// An application kept as an AppImage in the home folder: the program is listed beside its entry.
std::vector<AppArtifact> appImageLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/appimagekit-notes.desktop", 4'096, ArtifactCategory::application),
            Fixture::artifact(home / "Applications/Notes-3.4.1-x86_64.AppImage", 148'000'000, ArtifactCategory::application),
            Fixture::artifact(home / ".config/Notes", 2'400'000, ArtifactCategory::support),
            Fixture::artifact(home / ".cache/notes-updater", 310'000, ArtifactCategory::cache, false)};
}

// An application unpacked into a folder of its own: the folder is offered whole and unticked, and
// the application stays unless the user chooses it.
std::vector<AppArtifact> discordLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/discord.desktop", 4'096, ArtifactCategory::application, false),
            Fixture::artifact(home / "Discord", 212'000'000, ArtifactCategory::application, false),
            Fixture::artifact(home / ".config/discord", 96'000'000, ArtifactCategory::support, false)};
}

// A launcher whose program is no longer where it names it (an older version, since updated): only the
// launcher is ticked, and the settings stay.
std::vector<AppArtifact> standardNotesLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/standard-notes.desktop", 4'096, ArtifactCategory::application),
            Fixture::artifact(home / ".config/Standard Notes", 38'000'000, ArtifactCategory::support, false)};
}

// A Neovim AppImage beside a Homebrew nvim: what the other install uses stays, its row naming it.
std::vector<AppArtifact> neovimLeftovers() {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{Fixture::artifact(home / ".local/share/applications/nvim.desktop", 4'096, ArtifactCategory::application),
                                   Fixture::artifact(home / "Applications/nvim.appimage", 11'800'000, ArtifactCategory::application),
                                   Fixture::artifact(home / ".local/share/nvim", 96'000'000, ArtifactCategory::support, false),
                                   Fixture::artifact(home / ".cache/nvim", 3'100'000, ArtifactCategory::cache, false),
                                   Fixture::artifact(home / ".config/nvim", 240'000, ArtifactCategory::preference, false)};
    for (std::size_t index = 2; index < items.size(); ++index) items[index].usedBy = home / ".linuxbrew/bin/nvim";
    return items;
}

// A Neovim AppImage whose settings are a repository of the user's own commits: listed, never ticked,
// its row saying why; its history in ~/.local/state goes with it.
std::vector<AppArtifact> ownWorkLeftovers() {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{Fixture::artifact(home / ".local/share/applications/nvim.desktop", 4'096, ArtifactCategory::application),
                                   Fixture::artifact(home / "Applications/nvim.appimage", 11'800'000, ArtifactCategory::application),
                                   Fixture::artifact(home / ".local/share/nvim", 96'000'000, ArtifactCategory::support),
                                   Fixture::artifact(home / ".local/state/nvim", 2'400'000, ArtifactCategory::savedState),
                                   Fixture::artifact(home / ".config/nvim", 240'000, ArtifactCategory::preference, false)};
    items.back().whole = WholeKind::repository;
    return items;
}

// kitty as its installer lays it out: its folder, its command's link and its hidden second entry are
// one install, offered whole; its settings are linked from a dotfiles repository; ImageMagick's fonts
// are used by Debian's package of it.
std::vector<AppArtifact> kittyLeftovers() {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{Fixture::artifact(home / ".local/share/applications/kitty.desktop", 4'096, ArtifactCategory::application, false),
                                   Fixture::artifact(home / ".local/kitty.app", 41'200'000, ArtifactCategory::application, false),
                                   Fixture::artifact(home / ".local/share/applications/kitty-open.desktop", 4'096, ArtifactCategory::application, false),
                                   Fixture::artifact(home / ".local/bin/kitty", 0, ArtifactCategory::application, false),
                                   Fixture::artifact(home / ".config/kitty", 0, ArtifactCategory::preference, false)};
    items.back().whole = WholeKind::repository;
    items.back().leadsIntoWhole = true;
    return items;
}

std::vector<AppArtifact> imageMagickLeftovers() {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{Fixture::artifact(home / ".local/share/applications/imagemagick.desktop", 4'096, ArtifactCategory::application),
                                   Fixture::artifact(home / "Applications/ImageMagick-7.1.1-x86_64.AppImage", 38'000'000, ArtifactCategory::application),
                                   Fixture::artifact(home / ".config/ImageMagick", 8'192, ArtifactCategory::preference, false)};
    items.back().usedBy = "imagemagick-6.q16";
    return items;
}

// Syncthing's program run by its user unit: it stays installed, and its card names the unit.
std::vector<AppArtifact> syncthingLeftovers() {
    const Path home = "/home/maya";
    AppArtifact key = Fixture::artifact(home / ".config/syncthing", 1'200'000, ArtifactCategory::preference, false);
    key.usedBy = home / ".config/systemd/user/syncthing.service";
    return {Fixture::artifact(home / ".local/share/applications/syncthing-ui.desktop", 4'096, ArtifactCategory::application, false), key};
}

// GNOME Web's web app: its entry, its icon and its profile, never the browser.
std::vector<AppArtifact> webAppLeftovers() {
    const Path home = "/home/maya";
    return {Fixture::artifact(home / ".local/share/applications/org.gnome.Epiphany.WebApp_6f2b3c.desktop", 0, ArtifactCategory::application),
            Fixture::artifact(home / ".local/share/xdg-desktop-portal/icons/192x192/org.gnome.Epiphany.WebApp_6f2b3c.png", 12'288, ArtifactCategory::application),
            Fixture::artifact(home / ".local/share/xdg-desktop-portal/applications/org.gnome.Epiphany.WebApp_6f2b3c.desktop", 4'096, ArtifactCategory::application),
            Fixture::artifact(home / ".var/app/org.gnome.Epiphany/data/org.gnome.Epiphany.WebApp_6f2b3c", 6'400'000, ArtifactCategory::support)};
}

// FreeCAD beside its weekly build: the data both use stays, each row naming the build that uses it.
std::vector<AppArtifact> freecadLeftovers() {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{
        Fixture::artifact(home / ".local/share/applications/org.freecad.FreeCAD.desktop", 4'096, ArtifactCategory::application),
        Fixture::artifact(home / "Applications/FreeCAD_1.0.0-conda-Linux-x86_64-py311.AppImage", 1'120'000'000, ArtifactCategory::application),
        Fixture::artifact(home / ".cache/FreeCAD", 84'000'000, ArtifactCategory::cache, false),
        Fixture::artifact(home / ".local/share/FreeCAD", 12'400'000, ArtifactCategory::support, false),
        Fixture::artifact(home / ".config/FreeCAD", 310'000, ArtifactCategory::preference, false)};
    for (std::size_t index = 2; index < items.size(); ++index) {
        items[index].usedBy = home / ".local/share/applications/freecad-weekly.desktop";
        items[index].usedByName = "FreeCAD Weekly";
    }
    return items;
}

// Zettlr in a home whose settings a dotfiles repository keeps: those stay, their row naming the
// repository; its data and cache go. With the repository's list unread, only the application goes.
std::vector<AppArtifact> zettlrLeftovers(const Path& repository, bool unread) {
    const Path home = "/home/maya";
    std::vector<AppArtifact> items{Fixture::artifact(home / ".local/share/applications/Zettlr.desktop", 4'096, ArtifactCategory::application),
                                   Fixture::artifact(home / "Applications/Zettlr-3.0.5-x86_64.AppImage", 142'000'000, ArtifactCategory::application),
                                   Fixture::artifact(home / ".cache/Zettlr", 46'000'000, ArtifactCategory::cache, !unread),
                                   Fixture::artifact(home / ".local/share/Zettlr", 2'100'000, ArtifactCategory::support, !unread),
                                   Fixture::artifact(home / ".config/Zettlr", 24'000, ArtifactCategory::preference, false)};
    for (std::size_t index = unread ? 2 : items.size() - 1; index < items.size(); ++index) {
        items[index].keptInDotfiles = repository;
        items[index].dotfilesUnread = unread;
    }
    return items;
}

// An AppState whose service answers at once, so the load each show starts ends before the picture.
struct StillState {
    StillState(std::vector<InstalledApplication> applications, std::map<std::string, std::vector<AppArtifact>> leftovers, const std::string& selected = {}) {
        AppServices services = fake.services();
        services.installedApplications = [applications] { return applications; };
        services.artifacts = [leftovers](const InstalledApplication& application) {
            auto found = leftovers.find(application.id);
            return found == leftovers.end() ? std::vector<AppArtifact>() : found->second;
        };
        state = std::make_unique<AppState>(std::move(services));
        state->loadApplications();
        waitUntil([&] { return !state->isLoadingApplications() && !state->isLoadingArtifacts(); });
        for (const InstalledApplication& application : applications)
            if (application.id == selected) state->selectApplication(application);
        waitUntil([&] { return !state->isLoadingArtifacts(); });
    }
    ~StillState() {
        fake.abandon.request_stop();
        state.reset();
    }
    FakeAppServices fake;
    std::unique_ptr<AppState> state;
};

std::unique_ptr<QWidget> screen(AppState& state, const QString& filter = {}) {
    auto view = std::make_unique<UninstallerView>(state, DS::pink);
    if (!filter.isEmpty()) view->appList()->filterField()->setText(filter);
    return view;
}

// The screen with its question open over it.
std::unique_ptr<QWidget> confirmation(AppState& state) {
    auto view = std::make_unique<UninstallerView>(state, DS::pink);
    drawAlertInto(view.get());
    view->askToTrash();
    return view;
}

}  // namespace

static const PictureRegistration uninstaller("uninstaller", [](PictureContext& pictures) {
    {
        Fixture fixture;  // its loads wait for an answer that never comes
        pictures.render("uninstaller-loading", PictureContext::windowSize, [&] { return screen(fixture.state()); });
    }
    {
        const std::vector<InstalledApplication> applications = someApplications();
        StillState still(applications, {{applications[1].id, editorLeftovers()}}, applications[1].id);
        pictures.render("uninstaller-leftovers", PictureContext::windowSize, [&] { return screen(*still.state); });
        pictures.render("uninstaller-filtered", PictureContext::windowSize, [&] { return screen(*still.state, "gnome"); });
        pictures.render("uninstaller-nomatch", PictureContext::windowSize, [&] { return screen(*still.state, "zzz"); });
    }
    {
        const std::vector<InstalledApplication> applications = someApplications();
        StillState still(applications, {{applications[0].id, calculatorLeftovers()}}, applications[0].id);
        pictures.render("uninstaller-packaged", PictureContext::windowSize, [&] { return screen(*still.state); });
        // The user ticks the cache: the question says that the application stays installed.
        still.state->setArtifactSelection(still.state->artifacts()[1], true);
        pictures.render("uninstaller-packaged-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications[2].staysInstalled = true;
        StillState still(applications, {{applications[2].id, firefoxLeftovers()}}, applications[2].id);
        pictures.render("uninstaller-usercopy", PictureContext::windowSize, [&] { return screen(*still.state); });
        // Even with the copy ticked, the question says that the application stays installed.
        still.state->setArtifactSelection(still.state->artifacts()[0], true);
        still.state->setArtifactSelection(still.state->artifacts()[1], true);
        pictures.render("uninstaller-usercopy-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("org.mozilla.Thunderbird", "Thunderbird", 30'200'000, "\u2014"));
        applications.back().iconName = "thunderbird";
        applications.back().staysInstalled = true;
        StillState still(applications, {{applications.back().id, thunderbirdLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-flatpak", PictureContext::windowSize, [&] { return screen(*still.state); });
        // The user ticks the mail: the question says that the application stays installed.
        still.state->setArtifactSelection(still.state->artifacts()[1], true);
        pictures.render("uninstaller-flatpak-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("appimagekit-notes", "Notes", 148'314'096, "\u2014"));
        StillState still(applications, {{applications.back().id, appImageLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-program", PictureContext::windowSize, [&] { return screen(*still.state); });
        // A removal that left an item because something else took its name since the listing.
        const Path cache = "/home/maya/.cache/notes-updater";
        pictures.render("uninstaller-changed", PictureContext::windowSize, [&] {
            auto view = screen(*still.state);
            try {
                throw UninstallError({TrashError(TrashError::Reason::changed, cache)}, {"/home/maya/.local/share/Trash/files/Notes-3.4.1-x86_64.AppImage",
                                                                                        "/home/maya/.local/share/Trash/files/appimagekit-notes.desktop"});
            } catch (...) {
                still.state->setUninstallMessage(errorDescription(std::current_exception()));
            }
            drawAlertInto(view.get());
            return view;
        });
        still.state->setUninstallMessage(std::nullopt);
        // A removal of which most items were refused: a few are named, the rest counted.
        pictures.render("uninstaller-notmoved", PictureContext::windowSize, [&] {
            auto view = screen(*still.state);
            std::vector<TrashError> failures;
            for (int i = 1; i <= 8; ++i)
                failures.emplace_back(TrashError::Reason::moveFailed, "/home/maya/.cache/notes-updater/part-" + std::to_string(i), EACCES);
            failures.emplace_back(TrashError::Reason::noTrash, "/media/maya/USB/Notes/notes.db");
            still.state->setUninstallMessage(
                errorDescription(std::make_exception_ptr(UninstallError(failures, {"/home/maya/.local/share/Trash/files/appimagekit-notes.desktop"}))));
            drawAlertInto(view.get());
            return view;
        });
        still.state->setUninstallMessage(std::nullopt);
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("discord", "Discord", 212'004'096, "\u2014"));
        applications.back().iconName = "discord";
        StillState still(applications, {{applications.back().id, discordLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-unpacked", PictureContext::windowSize, [&] { return screen(*still.state); });
        // The user chooses the folder and the entry: the question says the application goes.
        still.state->setArtifactSelection(still.state->artifacts()[0], true);
        still.state->setArtifactSelection(still.state->artifacts()[1], true);
        pictures.render("uninstaller-unpacked-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("nvim", "Neovim", 11'804'096, "\u2014"));
        applications.back().iconName = "nvim";
        StillState still(applications, {{applications.back().id, neovimLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-otherinstall", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("nvim", "Neovim", 11'804'096, "\u2014"));
        applications.back().iconName = "nvim";
        StillState still(applications, {{applications.back().id, ownWorkLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-ownwork", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("kitty", "kitty", 41'204'096, "\u2014"));
        applications.back().iconName = "kitty";
        applications.push_back(Fixture::application("imagemagick", "ImageMagick", 38'004'096, "\u2014"));
        StillState still(applications, {{applications[applications.size() - 2].id, kittyLeftovers()}, {applications.back().id, imageMagickLeftovers()}},
                         applications[applications.size() - 2].id);
        pictures.render("uninstaller-installfolder", PictureContext::windowSize, [&] { return screen(*still.state); });
        still.state->selectApplication(applications.back());
        waitUntil([&] { return !still.state->isLoadingArtifacts(); });
        pictures.render("uninstaller-package", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("org.freecad.FreeCAD", "FreeCAD", 1'120'004'096, "\u2014"));
        applications.back().iconName = "freecad";
        StillState still(applications, {{applications.back().id, freecadLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-otherbuild", PictureContext::windowSize, [&] { return screen(*still.state); });
        pictures.render("uninstaller-otherbuild-full", PictureContext::windowSize, [&] { return screen(*still.state); }, {.fullLength = true, .inspect = {}});
    }
    // The home written short: the pictures' own home stands for the user's.
    for (const auto& [repository, unread, name] : {std::tuple{QDir::homePath().toStdString() + "/.local/share/yadm/repo.git", false, "uninstaller-dotfiles"},
                                                  std::tuple{QDir::homePath().toStdString() + "/.cfg", true, "uninstaller-dotfiles-unread"}}) {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("Zettlr", "Zettlr", 142'004'096, "\u2014"));
        StillState still(applications, {{applications.back().id, zettlrLeftovers(repository, unread)}}, applications.back().id);
        pictures.render(name, PictureContext::windowSize, [&] { return screen(*still.state); });
        pictures.render(QString::fromLatin1(name) + "-full", PictureContext::windowSize, [&] { return screen(*still.state); }, {.fullLength = true, .inspect = {}});
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications[4].staysInstalled = true;
        applications[4].runBy = "syncthing.service";
        StillState still(applications, {{applications[4].id, syncthingLeftovers()}}, applications[4].id);
        pictures.render("uninstaller-service", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    // The crontab and a shell's startup file keep it as a service does.
    for (const auto& [runner, kind, name] : {std::tuple{"/usr/bin/crontab", RunnerKind::crontab, "uninstaller-crontab"},
                                             std::tuple{"/home/maya/.bashrc", RunnerKind::shellStartup, "uninstaller-shellalias"}}) {
        std::vector<InstalledApplication> applications = someApplications();
        applications[4].staysInstalled = true;
        applications[4].runBy = runner;
        applications[4].runByKind = kind;
        std::vector<AppArtifact> leftovers = syncthingLeftovers();
        for (AppArtifact& leftover : leftovers)
            if (!leftover.usedBy.empty()) leftover.usedBy = runner;
        StillState still(applications, {{applications[4].id, leftovers}}, applications[4].id);
        pictures.render(name, PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("org.gnome.Epiphany.WebApp_6f2b3c", "Mastodon", 6'416'384, "\u2014"));
        StillState still(applications, {{applications.back().id, webAppLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-webapp", PictureContext::windowSize, [&] { return screen(*still.state); });
        pictures.render("uninstaller-webapp-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        std::vector<InstalledApplication> applications = someApplications();
        applications.push_back(Fixture::application("standard-notes", "Standard Notes", 4'096, "\u2014"));
        applications.back().programNotFound = true;
        StillState still(applications, {{applications.back().id, standardNotesLeftovers()}}, applications.back().id);
        pictures.render("uninstaller-launcher", PictureContext::windowSize, [&] { return screen(*still.state); });
        pictures.render("uninstaller-launcher-confirm", PictureContext::windowSize, [&] { return confirmation(*still.state); });
    }
    {
        const std::vector<InstalledApplication> applications = someApplications();
        StillState still(applications, {});
        pictures.render("uninstaller-nothingfound", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
    {
        StillState still({}, {});
        pictures.render("uninstaller-noapps", PictureContext::windowSize, [&] { return screen(*still.state); });
    }
});
