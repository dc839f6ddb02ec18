#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A file system of a given kind in an image file, mounted on a loop device from inside a child in
// its own mount namespace (ForkedChild::runInMountNamespace), so that the mount never reaches this
// machine's mount table.
namespace LoopDisk {

// The command that makes an XFS file system with shared blocks, else a btrfs one; none when neither
// tool is installed.
std::optional<std::vector<std::string>> blockSharingMkfs();

// Makes `image` of `bytes` and a file system on it with `mkfs` (the program and its options).
bool make(const std::filesystem::path& image, std::uintmax_t bytes, std::vector<std::string> mkfs);

// Mounts `image` on `folder`, with the file system's `options` (as "compress=zstd") where given;
// in the child only.
bool mount(const std::filesystem::path& image, const std::filesystem::path& folder, const std::string& options = {});

// Shows `folder` at `at` too; in the child only.
bool bind(const std::filesystem::path& folder, const std::filesystem::path& at);

// The bytes free on the file system of `image` mounted on `folder`, once it settled: mounted anew,
// so that what it frees late (XFS frees the blocks of removed files in the background) is free.
// In the child only; -1 when it cannot be mounted again.
std::int64_t settledFreeBytes(const std::filesystem::path& image, const std::filesystem::path& folder);

// As `cp --reflink=always` copies: the copy's blocks are the original's.
bool reflink(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace LoopDisk
