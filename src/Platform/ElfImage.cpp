#include "Platform/ElfImage.h"

#include "Platform/FileContents.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t relocatable = 1, executable = 2, shared = 3;
constexpr std::uint32_t interpreterSegment = 3;

// A field of the header in the file's own byte order; nothing past the end of what was read.
template <typename Number>
bool field(std::string_view head, std::size_t offset, bool bigEndian, Number& value) {
    if (offset > head.size() || head.size() - offset < sizeof(Number)) return false;
    unsigned char bytes[sizeof(Number)];
    std::memcpy(bytes, head.data() + offset, sizeof(Number));
    std::uint64_t number = 0;
    for (std::size_t index = 0; index < sizeof(Number); ++index)
        number |= std::uint64_t{bytes[bigEndian ? index : sizeof(Number) - 1 - index]} << (8 * (sizeof(Number) - 1 - index));
    value = static_cast<Number>(number);
    return true;
}

// Whether a program header names an interpreter. Headers past what was read count as absent: a
// shared object whose headers lie further on is taken for a library, which keeps it where it is.
bool namesInterpreter(std::string_view head, bool wide, bool bigEndian) {
    std::uint64_t tableOffset = 0;
    std::uint16_t entrySize = 0, entries = 0;
    if (wide) {
        if (!field(head, 32, bigEndian, tableOffset) || !field(head, 54, bigEndian, entrySize) || !field(head, 56, bigEndian, entries)) return false;
    } else {
        std::uint32_t narrowOffset = 0;
        if (!field(head, 28, bigEndian, narrowOffset) || !field(head, 42, bigEndian, entrySize) || !field(head, 44, bigEndian, entries)) return false;
        tableOffset = narrowOffset;
    }
    if (entrySize < 4) return false;
    for (std::uint64_t index = 0; index < entries; ++index) {
        const std::uint64_t at = tableOffset + index * entrySize;
        std::uint32_t type = 0;
        if (at > head.size() || !field(head, static_cast<std::size_t>(at), bigEndian, type)) return false;
        if (type == interpreterSegment) return true;
    }
    return false;
}

}  // namespace

ElfImage ElfImages::kindOfBytes(std::string_view head) {
    if (head.size() < 20 || !head.starts_with("\x7f" "ELF")) return ElfImage::none;
    const bool wide = head[4] == 2, bigEndian = head[5] == 2;
    std::uint16_t type = 0;
    field(head, 16, bigEndian, type);
    switch (type) {
    case relocatable: return ElfImage::object;
    case executable: return ElfImage::program;
    case shared: return namesInterpreter(head, wide, bigEndian) ? ElfImage::program : ElfImage::library;
    default: return ElfImage::other;
    }
}

ElfImage ElfImages::kindOfFile(const std::filesystem::path& file) {
    const auto head = FileContents::head(file, headBytes);
    return head ? kindOfBytes(*head) : ElfImage::none;
}
