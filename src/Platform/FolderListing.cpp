#include "Platform/FolderListing.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::optional<std::vector<fs::path>> FolderListing::entries(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<fs::path> found;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) return std::nullopt;
        found.push_back(it->path());
    }
    if (error) return std::nullopt;
    return found;
}

std::string FolderListing::lowercaseExtension(const fs::path& entry) {
    std::string extension = entry.extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

bool FolderListing::isFolder(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FolderListing::isExecutableFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}
