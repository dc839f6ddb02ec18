#pragma once

#include "Support/TempTree.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

// Files as installs leave them, and the sizes the uninstaller must show for them.
namespace InstalledFiles {

inline std::int64_t allocated(const std::filesystem::path& file) {
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 ? std::int64_t(info.st_blocks) * 512 : -1;
}

// What `du -s` counts: everything in a tree, itself included, no link followed, a file of two names once.
inline std::int64_t du(const std::filesystem::path& location) {
    std::int64_t total = allocated(location);
    std::set<std::pair<dev_t, ino_t>> seen;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(location)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) == 0 && seen.insert({info.st_dev, info.st_ino}).second) total += allocated(entry.path());
    }
    return total;
}

// A program as a compiler leaves it: an ELF file.
inline std::filesystem::path compiled(const TempTree& tree, const std::string& relative, size_t size) {
    std::string bytes(size, 'x');
    bytes.replace(0, 4, "\x7f" "ELF");
    return tree.write(relative, bytes);
}

// An AppImage as its runtime makes it: an ELF file with "AI" and the format's version at bytes 8 to 10.
inline std::filesystem::path appImage(const TempTree& tree, const std::string& relative, size_t size) {
    const char head[] = {'\x7f', 'E', 'L', 'F', 2, 1, 1, 0, 'A', 'I', 2};
    std::string bytes(size, 'x');
    bytes.replace(0, sizeof head, head, sizeof head);
    return tree.write(relative, bytes);
}

inline std::filesystem::path executable(const std::filesystem::path& file) {
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_exec | perms::group_exec | perms::others_exec, std::filesystem::perm_options::add);
    return file;
}

}  // namespace InstalledFiles
