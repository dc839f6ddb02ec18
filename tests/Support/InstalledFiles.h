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

// What the loader takes for a program, a shared library or an object: a 64-bit little-endian ELF
// header (type 3 with an interpreter, type 3 without, type 1), the rest of `size` filler.
enum class Elf { program, library, object };
inline std::string elfBytes(Elf kind, size_t size) {
    std::string bytes(std::max<size_t>(size, 64 + 2 * 56), '\0');
    auto put = [&](size_t at, std::uint64_t value, size_t width) {
        for (size_t index = 0; index < width; ++index) bytes[at + index] = char((value >> (8 * index)) & 0xff);
    };
    bytes.replace(0, 6, "\x7f" "ELF\x02\x01");
    put(16, kind == Elf::object ? 1 : 3, 2);
    put(32, 64, 8), put(54, 56, 2), put(56, kind == Elf::object ? 0 : 2, 2);
    put(64, 1, 4);                                  // a loadable segment
    put(64 + 56, kind == Elf::program ? 3 : 2, 4);  // the interpreter's name, else the dynamic section
    return bytes;
}
inline std::filesystem::path elfFile(const TempTree& tree, const std::string& relative, Elf kind, size_t size = 8192) {
    return tree.write(relative, elfBytes(kind, size));
}

// A program as a compiler leaves it, and a shared library as a linker does.
inline std::filesystem::path compiled(const TempTree& tree, const std::string& relative, size_t size) {
    return elfFile(tree, relative, Elf::program, size);
}
inline std::filesystem::path library(const TempTree& tree, const std::string& relative, size_t size) {
    return elfFile(tree, relative, Elf::library, size);
}

// An AppImage as its runtime makes it: an ELF program with "AI" and the format's version at bytes 8 to 10.
inline std::filesystem::path appImage(const TempTree& tree, const std::string& relative, size_t size) {
    std::string bytes = elfBytes(Elf::program, size);
    bytes.replace(8, 3, "AI\x02");
    return tree.write(relative, bytes);
}

inline std::filesystem::path executable(const std::filesystem::path& file) {
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_exec | perms::group_exec | perms::others_exec, std::filesystem::perm_options::add);
    return file;
}

}  // namespace InstalledFiles
