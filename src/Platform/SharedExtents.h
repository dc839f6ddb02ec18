#pragma once

#include <linux/fiemap.h>

#include <cstdint>
#include <functional>

// How much of a file's data other files share on disk: the blocks of a reflinked copy (`cp` on XFS
// and btrfs, file managers) or of a file a btrfs snapshot holds too. Read from the file system's
// extent map (the FIEMAP request, extents flagged shared).
// Moving such a file frees only the rest. The map also tells extents the file system keeps encoded
// (compressed, on btrfs): they take less on disk than the file's blocks count for, by how much
// only a privileged tool can say.
class SharedExtents {
public:
    struct Map {
        std::int64_t shared = 0;  // bytes in shared extents
        bool compressed = false;  // some extent is encoded
        bool operator==(const Map&) const = default;
    };

    // One extent-map request on an open file, answered as the ioctl answers it: 0, or -1 with errno.
    using Ask = std::function<int(int descriptor, fiemap& request)>;

    explicit SharedExtents(Ask ask = askFileSystem) : ask_(std::move(ask)) {}

    // The bytes of the file open on `descriptor` that lie in shared extents. 0 where the file system
    // keeps no extent map or fails to answer (tmpfs, an error): nothing is known to be shared.
    Map map(int descriptor) const;
    // The same for the regular file at `path`, a final symbolic link not followed; nothing when it
    // cannot be opened or is no regular file.
    Map map(const char* path) const;
    std::int64_t sharedBytes(int descriptor) const { return map(descriptor).shared; }
    std::int64_t sharedBytes(const char* path) const { return map(path).shared; }

    static int askFileSystem(int descriptor, fiemap& request);
    // The one that asks the file systems themselves, for every service to share.
    static const SharedExtents& ofFileSystems();

private:
    Ask ask_;
};
