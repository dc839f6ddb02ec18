#pragma once

#include <string>
#include <string_view>
#include <vector>

// Windows's hidden and system marks, on the file systems that keep them: NTFS (the ntfs3 driver and
// ntfs-3g), FAT and exFAT, and SMB shares. Linux has no hidden mark of its own, so what Windows hides
// (AppData, ProgramData, a recycle bin, Thumbs.db) shows as any other file unless they are read.
// Safe to ask from any number of threads.
class WindowsAttributes {
public:
    // The file systems mounted now, from the mount table.
    static WindowsAttributes current();

    // Whether a file system that keeps the marks is mounted at all: where none is, nothing is read.
    bool anyMounted() const { return !mounts_.empty() && any_; }
    // Whether the file or folder at `path` (a link taken as itself) is marked hidden or system; false
    // where its file system keeps no such mark, the mark cannot be read, or `path` is the file
    // system's top.
    bool hiddenOrSystem(const std::string& path) const;

private:
    enum class Keeps { nothing, ntfsAttributes, smbAttributes, fatAttributes };
    struct Mount {
        std::string point;
        Keeps keeps;
    };
    static Keeps keepsOfType(std::string_view type);
    Keeps keepsAt(const std::string& path) const;

    std::vector<Mount> mounts_;
    bool any_ = false;
};
