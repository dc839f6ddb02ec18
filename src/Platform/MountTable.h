#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What the kernel has mounted where, and where the machine mounts its drives at boot.
struct MountTable {
    // One line of the kernel's table: which file system, which of its folders, and where it shows.
    struct Mount {
        std::string device;             // "major:minor"
        std::filesystem::path root;     // the folder of the file system that is mounted
        std::filesystem::path point;
        std::string type;               // "ext4", "ntfs3", "vfat"...; empty where the line does not say
    };

    // <proc>/self/mountinfo; nothing when it cannot be read.
    static std::vector<Mount> mounted(const std::filesystem::path& proc);
    // The folders <root>/etc/fstab mounts a file system on, as machine paths; nothing when it cannot
    // be read. Swap and "none" are no folders.
    static std::vector<std::filesystem::path> configured(const std::filesystem::path& root);
};
