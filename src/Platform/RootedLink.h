#pragma once

#include <filesystem>
#include <system_error>

namespace RootedLink {

// Follows the file's own links (not its folders') the way the system would if `root` were "/": a
// unit enabled in a ".wants" folder is a link to "/usr/lib/systemd/user/…".
inline std::filesystem::path resolved(std::filesystem::path file, const std::filesystem::path& root) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) return file;
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) return file;
        file = target.is_absolute() ? root / target.relative_path() : file.parent_path() / target;
    }
    return file;
}

}  // namespace RootedLink
