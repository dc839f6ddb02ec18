#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The trash folders a tool must never search or offer: what lies there is already thrown away, and
// a copy kept there is lost when the Trash is emptied. They are the home trash, wherever
// $XDG_DATA_HOME puts it and by whatever path it is reached (a link, or a bind mount of it, of a
// folder in it or of a folder holding it), and the trash folders of a mount's top folder, anyone's
// (".Trash", ".Trash-<uid>"). A folder with one of those names is taken for a trash wherever it lies:
// a copied drive's trash, or the other desktop's ~/.Trash, holds thrown-away files all the same.
class TrashFolders {
public:
    // The home trash as it is now, and where the mount table shows it again; a trash not made yet is
    // still known by its place.
    static TrashFolders current();

    // ".Trash", ".Trash-<digits>", or macOS's ".Trashes".
    static bool isMountTrashName(std::string_view name);

    // Whether the folder `name` in `directory` is a trash folder, or a mount of what lies in one. Asks
    // nothing of the disk, so a walk may ask it of every folder.
    bool isTrashFolder(const std::string& directory, std::string_view name) const;
    // Whether `path` is a trash folder or lies inside one. The links above it are resolved; the item
    // itself is taken as it is, so a link into a trash is not inside it.
    bool isWithinTrash(const std::filesystem::path& path) const;
    // Whether `path`, taken the same way, holds the home trash.
    bool holdsHomeTrash(const std::filesystem::path& path) const;

private:
    bool isTrashPlace(const std::string& path) const;

    std::filesystem::path homePlace_;  // resolved as far as it exists; empty when there is no home
    // The home trash's place and every other path at which it, or a folder in it, is mounted.
    std::vector<std::string> places_;
};
