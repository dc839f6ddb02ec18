#pragma once

#include <filesystem>
#include <string_view>

// What a file is to the program loader, from its ELF header alone. A program is what the loader
// starts (a fixed-address executable, or a position-independent one that names its interpreter); a
// library is a shared object it maps into one; an object is what a compiler leaves for the linker.
enum class ElfImage { none, program, library, object, other };

namespace ElfImages {

// The kind the bytes at a file's start describe; `none` when they are not ELF, or too short to tell.
// Reads only what it is given: the header and the program headers that follow it.
ElfImage kindOfBytes(std::string_view head);

// The kind of a regular file, read from its first bytes; `none` for anything else (a link is not
// followed, a FIFO or a device is never waited on) and for a file that cannot be read.
ElfImage kindOfFile(const std::filesystem::path& file);

// How many bytes `kindOfBytes` needs to tell every kind from a file's start.
inline constexpr std::size_t headBytes = 4096;

}  // namespace ElfImages
