#pragma once

#include "Support/TempTree.h"

#include <sys/stat.h>

#include <algorithm>
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

// The ELF header a linker writes, 64-bit little-endian, of the given type: 2 a program, 3 a shared
// library (it names no interpreter), then `size` bytes in all.
inline std::string elfBytes(std::uint16_t type, size_t size) {
    std::string bytes(std::max<size_t>(size, 64), 'x');
    const char ident[] = {'\x7f', 'E', 'L', 'F', 2, 1, 1, 0};
    bytes.replace(0, sizeof ident, ident, sizeof ident);
    bytes.replace(8, 8, 8, '\0');
    bytes[16] = char(type & 0xff), bytes[17] = char(type >> 8);
    bytes.replace(32, 8, 8, '\0');  // no program headers
    bytes.replace(54, 4, 4, '\0');
    return bytes;
}

// A program as a compiler leaves it: an ELF executable.
inline std::filesystem::path compiled(const TempTree& tree, const std::string& relative, size_t size) {
    return tree.write(relative, elfBytes(2, size));
}

// A shared library as a linker leaves it.
inline std::filesystem::path library(const TempTree& tree, const std::string& relative, size_t size) {
    return tree.write(relative, elfBytes(3, size));
}

// An AppImage as its runtime makes it: an ELF executable with "AI" and the format's version at bytes 8 to 10.
inline std::filesystem::path appImage(const TempTree& tree, const std::string& relative, size_t size) {
    std::string bytes = elfBytes(2, size);
    bytes.replace(8, 3, "AI\x02");
    return tree.write(relative, bytes);
}

inline std::filesystem::path executable(const std::filesystem::path& file) {
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_exec | perms::group_exec | perms::others_exec, std::filesystem::perm_options::add);
    return file;
}

}  // namespace InstalledFiles
