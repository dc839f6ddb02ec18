#pragma once

#include "Foundation/FileIdentity.h"

#include <cstdint>
#include <optional>
#include <vector>

// What moving listed items to the Trash, and emptying it, gives back on disk. A file counts once
// however many of its names the items hold, and frees its blocks only when every one of its names
// goes: one that keeps a name elsewhere frees nothing. Blocks the file system reports shared with
// another file (a reflinked copy, a snapshot) free nothing either.
struct FreedSpace {
    // A file with several names, some of them in this item.
    struct LinkedFile {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint32_t links = 0;  // all the names it has
        std::uint32_t names = 0;  // those in this item
        std::int64_t bytes = 0;   // what removing every name frees
        std::int64_t allocated = 0;  // what it takes on disk

        bool operator==(const LinkedFile&) const = default;
    };

    // Tells one file from another across the items.
    struct FileKey {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const FileKey&) const = default;
    };
    struct FileKeyHash {
        std::size_t operator()(const FileKey& key) const { return std::size_t(key.inode * 0x9E3779B97F4A7C15ull ^ key.device); }
    };

    std::int64_t singleNamedBytes = 0;  // what the item's files of one name free
    std::vector<LinkedFile> linked;
    // Some of its files are compressed on disk: they free less than their blocks count for, and
    // by how much is not known, so what the item frees is at most the figure.
    bool upTo = false;

    // What moving this item alone frees.
    std::int64_t alone() const;
    // What moving all of `items` together frees.
    static std::int64_t together(const std::vector<const FreedSpace*>& items);
    // Whether what `items` free together is at most the figure.
    static bool anyUpTo(const std::vector<const FreedSpace*>& items);

    // What removing a file's last name frees: its blocks on disk less those it shares.
    static std::int64_t unsharedBlocks(std::int64_t allocated, std::int64_t sharedBytes);
    // One name of a file as listed: `allocated` and `sharedBytes` of the file; without an identity
    // the file counts as one of one name.
    static FreedSpace ofName(const std::optional<FileIdentity>& identity, std::int64_t allocated, std::int64_t sharedBytes, bool compressed = false);

    bool operator==(const FreedSpace&) const = default;
};
