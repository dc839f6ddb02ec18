#include "Platform/SharedExtents.h"

#include "Foundation/FileDescriptor.h"
#include "Foundation/SaturatingSum.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <sys/ioctl.h>
#include <linux/fs.h>

#include <algorithm>
#include <memory>

namespace {

constexpr std::uint32_t extentsPerRequest = 128;

}  // namespace

int SharedExtents::askFileSystem(int descriptor, fiemap& request) { return ::ioctl(descriptor, FS_IOC_FIEMAP, &request); }

const SharedExtents& SharedExtents::ofFileSystems() {
    static const SharedExtents extents;
    return extents;
}

SharedExtents::Map SharedExtents::map(const char* path) const {
    // Not blocking: what was listed as a file may be a FIFO by now.
    const FileDescriptor file(::open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    return map(file.get());
}

SharedExtents::Map SharedExtents::map(int descriptor) const {
    // The request and the extents it is answered with, in one block.
    constexpr std::size_t bytes = sizeof(fiemap) + extentsPerRequest * sizeof(fiemap_extent);
    auto block = std::make_unique<std::uint64_t[]>((bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* request = reinterpret_cast<fiemap*>(block.get());
    Map found;
    std::uint64_t start = 0;
    for (;;) {
        *request = fiemap{};
        request->fm_start = start;
        request->fm_length = FIEMAP_MAX_OFFSET - start;
        request->fm_extent_count = extentsPerRequest;
        if (ask_(descriptor, *request) != 0) return {};  // a map known only in part tells nothing
        const std::uint32_t mapped = std::min(request->fm_mapped_extents, extentsPerRequest);
        if (mapped == 0) return found;
        for (std::uint32_t i = 0; i < mapped; ++i) {
            const fiemap_extent& extent = request->fm_extents[i];
            if (extent.fe_flags & FIEMAP_EXTENT_SHARED)
                found.shared = saturatingSum(found.shared, std::int64_t(std::min<std::uint64_t>(extent.fe_length, INT64_MAX)));
            if (extent.fe_flags & FIEMAP_EXTENT_ENCODED) found.compressed = true;
        }
        const fiemap_extent& last = request->fm_extents[mapped - 1];
        const std::uint64_t next = last.fe_logical + last.fe_length;
        // An answer that does not move on ends the map, so no answer loops.
        if ((last.fe_flags & FIEMAP_EXTENT_LAST) || next <= start || next < last.fe_logical) return found;
        start = next;
    }
}
