#pragma once

#include <linux/fiemap.h>

#include <cstdint>
#include <functional>

// How much of a file's data other files share on disk: the blocks of a reflinked copy (`cp` on XFS
// and btrfs, file managers) or of a file a btrfs snapshot holds too. Read from the file system's
// extent map (the FIEMAP request, extents flagged shared). Moving such a file frees only the rest.
class SharedExtents {
public:
    // One extent-map request on an open file, answered as the ioctl answers it: 0, or -1 with errno.
    using Ask = std::function<int(int descriptor, fiemap& request)>;

    explicit SharedExtents(Ask ask = askFileSystem) : ask_(std::move(ask)) {}

    // The bytes of the file open on `descriptor` that lie in shared extents. 0 where the file system
    // keeps no extent map or fails to answer (tmpfs, an error): nothing is known to be shared.
    std::int64_t sharedBytes(int descriptor) const;
    // The same for the regular file at `path`, a final symbolic link not followed; 0 when it cannot
    // be opened or is no regular file.
    std::int64_t sharedBytes(const char* path) const;

    static int askFileSystem(int descriptor, fiemap& request);
    // The one that asks the file systems themselves, for every service to share.
    static const SharedExtents& ofFileSystems();

private:
    Ask ask_;
};
