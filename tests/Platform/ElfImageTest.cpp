#include "Platform/ElfImage.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// An ELF header of 64 bytes followed by program headers of 56 bytes whose types are `segments`,
// little-endian and 64-bit unless told; only the fields the loader's kind depends on are set.
std::string elf(std::uint16_t type, std::initializer_list<std::uint32_t> segments, bool wide = true, bool bigEndian = false) {
    const std::size_t headerSize = wide ? 64 : 52, entrySize = wide ? 56 : 32;
    std::string bytes(headerSize + segments.size() * entrySize, '\0');
    auto put = [&](std::size_t at, std::uint64_t value, std::size_t width) {
        for (std::size_t index = 0; index < width; ++index)
            bytes[at + (bigEndian ? width - 1 - index : index)] = static_cast<char>((value >> (8 * index)) & 0xff);
    };
    bytes.replace(0, 4, "\x7f" "ELF");
    bytes[4] = wide ? 2 : 1;
    bytes[5] = bigEndian ? 2 : 1;
    put(16, type, 2);
    if (wide) {
        put(32, headerSize, 8), put(54, entrySize, 2), put(56, segments.size(), 2);
    } else {
        put(28, headerSize, 4), put(42, entrySize, 2), put(44, segments.size(), 2);
    }
    std::size_t at = headerSize;
    for (const auto segment : segments) put(at, segment, 4), at += entrySize;
    return bytes;
}

}  // namespace

TEST(ElfImage, TellsProgramsFromLibrariesAndObjects) {
    constexpr std::uint32_t load = 1, dynamic = 2, interpreter = 3;
    EXPECT_EQ(ElfImages::kindOfBytes(elf(2, {load})), ElfImage::program);
    EXPECT_EQ(ElfImages::kindOfBytes(elf(3, {load, interpreter, dynamic})), ElfImage::program);  // a position-independent program
    EXPECT_EQ(ElfImages::kindOfBytes(elf(3, {load, dynamic})), ElfImage::library);
    EXPECT_EQ(ElfImages::kindOfBytes(elf(1, {})), ElfImage::object);
    EXPECT_EQ(ElfImages::kindOfBytes(elf(4, {})), ElfImage::other);  // a core dump
    EXPECT_EQ(ElfImages::kindOfBytes(elf(3, {interpreter}, false, true)), ElfImage::program);
    EXPECT_EQ(ElfImages::kindOfBytes(elf(3, {dynamic}, false, true)), ElfImage::library);

    // Program headers cut off, a header too short to hold its type, and what is not ELF at all.
    EXPECT_EQ(ElfImages::kindOfBytes(elf(3, {load, interpreter}).substr(0, 64 + 56 + 2)), ElfImage::library);
    EXPECT_EQ(ElfImages::kindOfBytes(std::string("\x7f" "ELF\x02\x01", 6)), ElfImage::none);
    EXPECT_EQ(ElfImages::kindOfBytes(std::string("#!/bin/sh\nexec true\n")), ElfImage::none);
    EXPECT_EQ(ElfImages::kindOfBytes(std::string_view()), ElfImage::none);
}

TEST(ElfImage, ReadsOnlyRegularFilesWithoutFollowingLinks) {
    const TempTree tree;
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path program = tree.path() / "program";
    fs::copy_file(self, program);
    EXPECT_EQ(ElfImages::kindOfFile(program), ElfImage::program);

    fs::create_symlink(program, tree.path() / "link");
    EXPECT_EQ(ElfImages::kindOfFile(tree.path() / "link"), ElfImage::none);
    ASSERT_EQ(::mkfifo((tree.path() / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ElfImages::kindOfFile(tree.path() / "fifo"), ElfImage::none);  // returns at once: nobody writes to it
    EXPECT_EQ(ElfImages::kindOfFile(tree.path() / "missing"), ElfImage::none);
}
