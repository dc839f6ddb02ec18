#include "Services/InstalledHome.h"

#include <array>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace InstalledFiles;

// What names an application and its leftovers.
void InstalledHome::plantNames() {
    const std::int64_t file = entryBytes_;
    // AppImages known by their mark and named as their entries are, however AppImageLauncher named those.
    const fs::path lmStudio = appImage(tree, "home/Applications/LM-Studio-0.2.24-x86_64.AppImage", 120000);
    const fs::path lmStudioEntry = userEntry("appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio", "LM Studio",
                                             "Exec=~/Applications/LM-Studio-0.2.24-x86_64.AppImage\n");
    const fs::path lmStudioData = tree.file("home/.config/LM Studio/settings.json", 2000).parent_path();
    expect("LmStudioGoesByItsAppImagesName", "appimagekit_5d41402abc4b2a76b9719d911017c592-LM_Studio",
           {{lmStudioEntry, true}, {lmStudio, true}, {lmStudioData, true}}, file + allocated(lmStudio));
    const fs::path krita = appImage(tree, "home/Applications/krita-5.2.2-x86_64.AppImage", 30000);
    const fs::path kritaEntry = userEntry("appimagekit_0cc175b9c0f1b6a831c399e269772661-Krita", "Krita Painting",
                                          "Exec=~/Applications/krita-5.2.2-x86_64.AppImage\n");
    expect("KritaKnownByItsIDAfterTheHash", "appimagekit_0cc175b9c0f1b6a831c399e269772661-Krita", {{kritaEntry, true}, {krita, true}},
           file + allocated(krita));
    const fs::path sublime = appImage(tree, "home/Applications/Sublime_Text-4169-x86_64.AppImage", 60000);
    const fs::path sublimeEntry = userEntry("sublime_text", "Sublime Text", "Exec=~/Applications/Sublime_Text-4169-x86_64.AppImage %F\n");
    const fs::path sublimeData = tree.file("home/.config/sublime-text/Packages/User/prefs", 5000).parent_path().parent_path().parent_path();
    expect("SublimeTextFindsItsSettings", "sublime_text", {{sublimeEntry, true}, {sublime, true}, {sublimeData, true}}, file + allocated(sublime));
    // Leftovers of other programs, named only beginning with the application's name.
    const fs::path cursor = appImage(tree, "home/Applications/Cursor-0.40.4-x86_64.AppImage", 70000);
    const fs::path cursorEntry = userEntry("cursor", "Cursor", "Exec=~/Applications/Cursor-0.40.4-x86_64.AppImage --no-sandbox\n");
    const fs::path cursorData = tree.file("home/.config/Cursor/state", 20000).parent_path();
    const fs::path cursorAgent = tree.file("home/.local/share/cursor-agent/versions/1/cursor-agent", 4000).parent_path().parent_path().parent_path();
    link(cursorAgent / "versions/1/cursor-agent", ".local/bin/cursor-agent");
    expect("CursorLeavesCursorAgent", "cursor", {{cursorEntry, true}, {cursor, true}, {cursorData, true}, {cursorAgent, false}}, file + allocated(cursor));
    const fs::path bitwarden = appImage(tree, "home/Applications/Bitwarden-2024.6.2-x86_64.AppImage", 80000);
    const fs::path bitwardenEntry = userEntry("bitwarden", "Bitwarden", "Exec=~/Applications/Bitwarden-2024.6.2-x86_64.AppImage\n");
    const fs::path bitwardenData = tree.file("home/.config/Bitwarden/data.json", 7000).parent_path();
    const fs::path bitwardenCli = tree.file("home/.config/Bitwarden CLI/data.json", 3000).parent_path();
    expect("BitwardenLeavesBitwardenCli", "bitwarden", {{bitwardenEntry, true}, {bitwarden, true}, {bitwardenData, true}, {bitwardenCli, false}},
           file + allocated(bitwarden));
    // A browser's web app whose browser is gone: its folder is still there.
    tree.folder("opt/google/chrome/WidevineCdm");
    const fs::path youtubeEntry = userEntry("chrome-agimnkijcaahngcdmfeangaknmldooml-Default", "YouTube",
                                            "Exec=/opt/google/chrome/google-chrome --profile-directory=Default --app-id=agimnkijcaahngcdmfeangaknmldooml\n");
    const fs::path youtubeDlCache = tree.file("home/.cache/youtube-dl/x", 9000).parent_path();
    const fs::path youtubeDlConfig = tree.file("home/.config/youtube-dl/config", 1000).parent_path();
    expect("WebAppOfAGoneBrowserLeavesOnlyItsLauncher", "chrome-agimnkijcaahngcdmfeangaknmldooml-Default",
           {{youtubeEntry, true}, {youtubeDlCache, false}, {youtubeDlConfig, false}}, file);


    // A program that is not found proves nothing: the newer version beside it, a name read wrongly.
    appImage(tree, "home/Applications/Standard-Notes-3.181.0-linux-x86_64.AppImage", 40000);
    const fs::path notesEntry = userEntry("standard-notes", "Standard Notes", "Exec=~/Applications/Standard-Notes-3.180.0-linux-x86_64.AppImage\n");
    const fs::path notesData = tree.file("home/.config/Standard Notes/notes.db", 9000).parent_path();
    expect("StandardNotesAtAnOldVersionLeavesTheLauncher", "standard-notes", {{notesEntry, true}, {notesData, false}}, file);
    appImage(tree, "home/Applications/Todoist%20Setup%209.4.0.AppImage", 40000);
    const fs::path todoistEntry = userEntry("todoist", "Todoist", "Exec=\"/home/Applications/Todoist%%20Setup%%209.4.0.AppImage\" --no-sandbox %U\n");
    const fs::path todoistData = tree.file("home/.config/Todoist/state", 2000).parent_path();
    expect("TodoistWithPercentsInItsNameIsFound", "todoist", {{todoistEntry, false}, {todoistData, false}}, file);

    // Found under its name as written in any language.
    const fs::path writer = compiled(tree, "home/.local/bin/writer", 20000);
    const fs::path writerEntry = userEntry("org.example.Writer", "Writer", "Name[ar]=\u0643\u0627\u062a\u0628\nExec=writer\n");
    const fs::path writerData = tree.file("home/.config/Writer/prefs", 2000).parent_path();
    expect("WriterFindsItsSettingsInArabic", "org.example.Writer", {{writerEntry, true}, {writer, true}, {writerData, true}}, file + allocated(writer), "ar");

    // The user's own folders hold much more than one application.
    compiled(tree, "home/Downloads/gitui", 9000);
    expect("ProgramInDownloadsStays", "gitui", {{userEntry("gitui", "gitui", "Exec=~/Downloads/gitui\n"), false}}, file);
    compiled(tree, "home/Desktop/game", 9000);
    expect("ProgramOnTheDesktopStays", "game", {{userEntry("game", "game", "Exec=~/Desktop/game\n"), false}}, file);
}

namespace {

constexpr std::array nameCases{
    "LmStudioGoesByItsAppImagesName", "KritaKnownByItsIDAfterTheHash", "SublimeTextFindsItsSettings", "CursorLeavesCursorAgent",
    "BitwardenLeavesBitwardenCli", "WebAppOfAGoneBrowserLeavesOnlyItsLauncher", "StandardNotesAtAnOldVersionLeavesTheLauncher",
    "TodoistWithPercentsInItsNameIsFound", "WriterFindsItsSettingsInArabic", "ProgramInDownloadsStays", "ProgramOnTheDesktopStays",
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Names, ApplicationFate, ::testing::ValuesIn(nameCases), [](const auto& row) { return std::string(row.param); });
