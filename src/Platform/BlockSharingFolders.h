#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which folders of a walk lie on a file system that can give two files the same blocks (XFS,
// btrfs, bcachefs, OCFS2), where a file's extent map is worth reading. Each root's file system is
// asked once; only below a root that holds other mounts is a folder's own file system asked, once
// per folder. On ext4 and the like no file is ever opened for it.
class BlockSharingFolders {
public:
    explicit BlockSharingFolders(const std::vector<std::string>& roots);

    // Whether the files of `folder`, which lies under root number `root`, may share blocks.
    bool mayShare(std::int64_t root, const std::string& folder) const;
    // Whether any folder of the walk may: false spares every per-folder question.
    bool anyMayShare() const { return anyMayShare_; }

    // Whether the file system holding `path` shares blocks; false when it cannot be asked.
    static bool sharesBlocks(const std::string& path);

private:
    std::vector<char> rootShares_;
    std::vector<char> mountsBelow_;
    bool anyMayShare_ = false;
};
