#include "Platform/DesktopEntryFile.h"

#include "Platform/FolderListing.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace {

using FolderIdentity = std::pair<dev_t, ino_t>;

void collect(const fs::path& folder, const std::string& idPrefix, std::set<FolderIdentity>& read, std::vector<DesktopEntryFile>& found) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || !read.insert({info.st_dev, info.st_ino}).second) return;
    auto listing = FolderListing::entries(folder);
    if (!listing) return;
    std::sort(listing->begin(), listing->end());
    for (const fs::path& entry : *listing) {
        if (FolderListing::isHidden(entry)) continue;
        const std::string name = entry.filename().native();
        struct stat entryInfo {};
        if (::lstat(entry.c_str(), &entryInfo) != 0) continue;
        // A link to a folder is read as the desktop reads it; a folder read already is not read again.
        if (S_ISLNK(entryInfo.st_mode) && ::stat(entry.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) entryInfo = info;
        if (S_ISDIR(entryInfo.st_mode)) collect(entry, idPrefix + name + "-", read, found);
        else if (FolderListing::lowercaseExtension(entry) == "desktop") found.push_back({entry, idPrefix + entry.stem().native()});
    }
}

}  // namespace

std::vector<DesktopEntryFile> DesktopEntryFile::below(const fs::path& folder) {
    std::vector<DesktopEntryFile> found;
    std::set<FolderIdentity> read;
    collect(folder, "", read, found);
    return found;
}
