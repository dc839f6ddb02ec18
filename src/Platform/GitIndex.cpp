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
    return EVP_Digest(bytes.data(), bytes.size() - hashSize, digest, nullptr, hashSize == 32 ? EVP_sha256() : EVP_sha1(), nullptr) == 1 &&
           std::equal(written.begin(), written.end(), digest, [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

// Reads the index's content front to back; every read is checked against its end.
class Cursor {
public:
    explicit Cursor(std::string_view content) : content_(content) {}

    std::size_t offset() const { return at_; }
    bool atEnd() const { return at_ == content_.size(); }

    std::optional<std::string_view> take(std::size_t count) {
        if (content_.size() - at_ < count) return std::nullopt;
        const std::string_view taken = content_.substr(at_, count);
        at_ += count;
        return taken;
    }

    // The text up to the next NUL, which is passed over.
    std::optional<std::string_view> takeToNul() {
        const std::size_t nul = content_.find('\0', at_);
        if (nul == std::string_view::npos) return std::nullopt;
        const std::string_view text = content_.substr(at_, nul - at_);
        at_ = nul + 1;
        return text;
    }

    bool moveTo(std::size_t offset) {
        if (offset < at_ || offset > content_.size()) return false;
        at_ = offset;
        return true;
    }

    // Git's variable-length number, as a version 4 index writes before each path: how many bytes of
    // the previous path this one drops.
    std::optional<std::uint64_t> varint() {
        auto next = take(1);
        if (!next) return std::nullopt;
        std::uint64_t value = static_cast<unsigned char>((*next)[0]) & 127;
        while (static_cast<unsigned char>((*next)[0]) & 128) {
            ++value;
            if (value == 0 || (value >> 57) != 0 || !(next = take(1))) return std::nullopt;
            value = (value << 7) + (static_cast<unsigned char>((*next)[0]) & 127);
        }
        return value;
    }

private:
    std::string_view content_;
    std::size_t at_ = 0;
};

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
    // The signature, the version and the count of entries; none is an empty index.
    constexpr std::size_t headerSize = 12;
    if (bytes.size() < headerSize + hashSize || !checksumHolds(bytes, hashSize)) return std::nullopt;
    Cursor cursor(bytes.substr(0, bytes.size() - hashSize));
    const auto header = cursor.take(headerSize);
    if (!header || header->substr(0, 4) != "DIRC") return std::nullopt;
    const std::uint32_t version = bigEndian32(*header, 4);
    if (version < 2 || version > 4) return std::nullopt;
    TrackedPaths tracked;
    std::string path;
    // Git keeps the entries in order, by path and then by stage, each once, and reads no index
    // that breaks it: where no checksum is written, that order is what tells a changed path.
    std::string previous;
    unsigned previousStage = 0;
    for (std::uint32_t entry = 0, count = bigEndian32(*header, 8); entry < count; ++entry) {
        const std::size_t start = cursor.offset();
        // The file's status, its object's name and the flags; then the path.
        const auto fixed = cursor.take(40 + hashSize + 2);
        if (!fixed) return std::nullopt;
        const std::uint16_t flags = bigEndian16(*fixed, 40 + hashSize);
        if ((flags & 0x4000) && (version < 3 || !cursor.take(2))) return std::nullopt;
        if (version == 4) {
            // Each path is the previous one with some bytes dropped from its end and others added.
            const auto dropped = cursor.varint();
            const auto added = cursor.takeToNul();
            if (!dropped || !added || *dropped > path.size()) return std::nullopt;
            path.resize(path.size() - *dropped);
            path.append(*added);
        } else {
            const std::size_t name = cursor.offset();
            const auto written = cursor.takeToNul();
            if (!written) return std::nullopt;
            path.assign(*written);
            // Padded with NULs to a multiple of eight bytes, one at least.
            if (!cursor.moveTo(start + ((name - start + written->size() + 8) & ~std::size_t(7)))) return std::nullopt;
        }
        // The flags hold the path's length, unless it is too long for them.
        if ((flags & 0xFFF) != 0xFFF && (flags & 0xFFF) != path.size()) return std::nullopt;
        // A split index names the entries it replaces with no path; those stand outside the order.
        const unsigned stage = (flags >> 12) & 3;
        if (!path.empty()) {
            if (!previous.empty() && (path < previous || (path == previous && stage <= previousStage))) return std::nullopt;
            previous = path;
            previousStage = stage;
        }
        add(tracked, path, bigEndian32(*fixed, 24));
    }
    while (!cursor.atEnd()) {
        const auto signature = cursor.take(4);
        const auto size = cursor.take(4);
        const auto content = size ? cursor.take(bigEndian32(*size, 0)) : std::nullopt;
        if (!signature || !content) return std::nullopt;
        if (*signature != "link") continue;
        if (content->size() < hashSize) return std::nullopt;
        const std::string_view shared = content->substr(0, hashSize);
        if (sharedIndex && std::any_of(shared.begin(), shared.end(), [](char c) { return c != 0; })) *sharedIndex = "sharedindex." + hexText(shared);
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
