#include "Platform/InstallFolder.h"

#include "Foundation/LiesWithin.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isAppBundle(const fs::path& folder) {
    std::string name = folder.filename().native();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return name.size() > 4 && name.ends_with(".app");
}

}  // namespace

namespace InstallFolder {

fs::path around(const fs::path& programFile, const fs::path& home) {
    constexpr int deepest = 3;
    int depth = 0;
    for (fs::path folder = programFile.parent_path(); depth < deepest && folder != home && liesWithin(folder, home); folder = folder.parent_path(), ++depth)
        if (isAppBundle(folder)) return folder;
    const fs::path folder = programFile.parent_path();
    const fs::path above = folder.parent_path();
    if (folder.filename() == "bin") return above;
    if (folder.filename() == "libexec" && (isFolder(above / "bin") || isFolder(above / "lib"))) return above;
    return folder;
}

bool isKeptAlone(const fs::path& appImageFile) {
    const fs::path folder = appImageFile.parent_path();
    return folder.has_filename() && folder.filename() == appImageFile.filename();
}

}  // namespace InstallFolder
