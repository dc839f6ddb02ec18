#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

// Finds the file of a theme icon by its name, the way icon themes lay their files out
// (<folder>/<theme>/<size>/<context>/<name>.png|svg|xpm, then <pixmaps>/<name>.<ext>), without
// opening a file: themes may sit in the user's own folders, where any name can be a FIFO, and
// Qt's own loader would open each theme's index.theme and icon cache on the window's thread.
// A candidate counts only when it is a regular file (a link is followed to see what it names).
// Safe to use from several threads at once.
class IconLookup {
public:
    struct Places {
        std::vector<std::filesystem::path> themeFolders;  // folders holding themes, searched in order
        QStringList themes;  // the themes, most wanted first
        std::vector<std::filesystem::path> pixmapFolders;  // icons outside any theme
    };

    explicit IconLookup(Places places);

    // A name only: one with a slash or "..", or a NUL, would reach outside the icon folders.
    static bool isThemeName(const QString& name);

    // The files of the icon in the first theme that has it: first the one of the best size for the
    // screens (the largest bitmap of 128 to 256 pixels, else a scalable one, else the largest
    // smaller bitmap, else the smallest larger one), then each smaller bitmap, which small rows
    // draw more sharply than a scaled-down large one. Else
    // the icon's file in the pixmaps folders; none for a name that is no icon.
    std::vector<std::filesystem::path> files(const QString& name) const;

private:
    struct SizedFolder {
        std::filesystem::path folder;
        int side;  // pixels; scalableSide for "scalable"
    };
    static constexpr int scalableSide = -1;

    const std::vector<SizedFolder>& folders(const QString& theme) const;
    static bool isRegularFile(const std::filesystem::path& path);

    Places places_;
    mutable std::mutex foldersMutex_;
    mutable std::map<QString, std::vector<SizedFolder>> folders_;  // per theme, listed once
};
