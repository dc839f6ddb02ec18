#include "Platform/GitIndex.h"

#include "Platform/FileContents.h"

#include <openssl/evp.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace fs = std::filesystem;

namespace {

// An index larger than this (millions of files) is not read: what it tracks cannot be told.
constexpr std::size_t largestIndex = std::size_t(256) << 20;

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint16_t bigEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[at]) << 8) | static_cast<unsigned char>(bytes[at + 1]));
}

// The index ends with the hash of everything before it; git writes zeros there when told to skip it.
bool checksumHolds(std::string_view bytes, std::size_t hashSize) {
    const std::string_view written = bytes.substr(bytes.size() - hashSize);
    if (std::all_of(written.begin(), written.end(), [](char c) { return c == 0; })) return true;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const EVP_MD* algorithm = hashSize == 32 ? EVP_sha256() : EVP_sha1();
    if (EVP_Digest(bytes.data(), bytes.size() - hashSize, digest, &length, algorithm, nullptr) != 1 || length != hashSize) return false;
    return std::equal(written.begin(), written.end(), digest, [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

// The number before each path of a version 4 index, git's variable-length integer: how many bytes
// of the previous path this one drops.
std::optional<std::uint64_t> varint(std::string_view bytes, std::size_t& at, std::size_t end) {
    if (at >= end) return std::nullopt;
    unsigned char c = static_cast<unsigned char>(bytes[at++]);
    std::uint64_t value = c & 127;
    while (c & 128) {
        ++value;
        if (value == 0 || (value >> 57) != 0 || at >= end) return std::nullopt;
        c = static_cast<unsigned char>(bytes[at++]);
        value = (value << 7) + (c & 127);
    }
    return value;
}

std::string hexText(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        text += digits[static_cast<unsigned char>(c) >> 4];
        text += digits[static_cast<unsigned char>(c) & 15];
    }
    return text;
}

void add(TrackedPaths& tracked, const std::string& path, std::uint32_t mode) {
    // A split index names the entries it replaces with no path: the shared index holds those.
    if (path.empty()) return;
    constexpr std::uint32_t typeBits = 0170000, folder = 0040000, submodule = 0160000;
    if ((mode & typeBits) == folder || (mode & typeBits) == submodule) {
        std::string whole = path;
        while (!whole.empty() && whole.back() == '/') whole.pop_back();
        if (!whole.empty()) tracked.folders.push_back(std::move(whole));
        return;
    }
    tracked.files.push_back(path);
}

}  // namespace

std::optional<TrackedPaths> GitIndex::parse(std::string_view bytes, std::size_t hashSize, std::string* sharedIndex) {
    constexpr std::size_t header = 12;
    if (bytes.size() < header + hashSize || bytes.substr(0, 4) != "DIRC") return std::nullopt;
    const std::uint32_t version = bigEndian32(bytes, 4);
    if (version < 2 || version > 4 || !checksumHolds(bytes, hashSize)) return std::nullopt;
    const std::size_t end = bytes.size() - hashSize;
    const std::uint32_t count = bigEndian32(bytes, 8);
    // The file status, the object name and the flags; then the path.
    const std::size_t fixed = 40 + hashSize + 2;
    if (count > (end - header) / (fixed + 1)) return std::nullopt;
    TrackedPaths tracked;
    tracked.files.reserve(count);
    std::string path;
    std::size_t at = header;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        if (end - at < fixed) return std::nullopt;
        const std::uint32_t mode = bigEndian32(bytes, at + 24);
        const std::uint16_t flags = bigEndian16(bytes, at + 40 + hashSize);
        std::size_t name = at + fixed;
        if (flags & 0x4000) {
            if (version < 3 || end - name < 2) return std::nullopt;
            name += 2;
        }
        if (version == 4) {
            // Each path is the previous one with some bytes dropped from its end and others added.
            const auto dropped = varint(bytes, name, end);
            const std::size_t nul = bytes.find('\0', name);
            if (!dropped || *dropped > path.size() || nul == std::string_view::npos || nul >= end) return std::nullopt;
            path.resize(path.size() - *dropped);
            path.append(bytes.substr(name, nul - name));
            at = nul + 1;
        } else {
            const std::size_t nul = bytes.find('\0', name);
            if (nul == std::string_view::npos || nul >= end) return std::nullopt;
            const std::size_t length = nul - name;
            if (const std::size_t written = flags & 0xFFF; written != 0xFFF && written != length) return std::nullopt;
            path.assign(bytes.substr(name, length));
            // Padded with NULs to a multiple of eight bytes, at least one.
            const std::size_t entryLength = (name - at + length + 8) & ~std::size_t(7);
            if (end - at < entryLength) return std::nullopt;
            at += entryLength;
        }
        add(tracked, path, mode);
    }
    while (at < end) {
        if (end - at < 8) return std::nullopt;
        const std::string_view signature = bytes.substr(at, 4);
        const std::size_t size = bigEndian32(bytes, at + 4);
        if (end - at - 8 < size) return std::nullopt;
        if (signature == "link") {
            if (size < hashSize) return std::nullopt;
            const std::string_view shared = bytes.substr(at + 8, hashSize);
            if (sharedIndex && std::any_of(shared.begin(), shared.end(), [](char c) { return c != 0; })) *sharedIndex = "sharedindex." + hexText(shared);
        }
        at += 8 + size;
    }
    tracked.sort();
    return tracked;
}

std::optional<TrackedPaths> GitIndex::tracked(const fs::path& gitFolder, std::size_t hashSize) {
    const fs::path file = gitFolder / "index";
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) return errno == ENOENT ? std::optional(TrackedPaths{}) : std::nullopt;
    const auto bytes = FileContents::read(file, largestIndex);
    if (!bytes) return std::nullopt;
    std::string sharedIndex;
    auto tracked = parse(*bytes, hashSize, &sharedIndex);
    if (!tracked || sharedIndex.empty()) return tracked;
    // A split index lists only what changed since its shared index: both together are what is tracked.
    // What it marks deleted from the shared one still counts, which keeps more, never less.
    const auto sharedBytes = FileContents::read(gitFolder / sharedIndex, largestIndex);
    auto shared = sharedBytes ? parse(*sharedBytes, hashSize) : std::nullopt;
    if (!shared) return std::nullopt;
    tracked->files.insert(tracked->files.end(), shared->files.begin(), shared->files.end());
    tracked->folders.insert(tracked->folders.end(), shared->folders.begin(), shared->folders.end());
    tracked->sort();
    return tracked;
}
