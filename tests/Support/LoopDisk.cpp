#include "Support/LoopDisk.h"

#include "Platform/ProcessRunner.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool succeeds(std::vector<std::string> command) {
    const fs::path program = command.front();
    command.erase(command.begin());
    const ProcessRunner::Result result = ProcessRunner::run(program, command);
    return result.exitedNormally() && result.exitStatus == 0;
}

}  // namespace

std::optional<std::vector<std::string>> LoopDisk::blockSharingMkfs() {
    if (fs::exists("/usr/sbin/mkfs.xfs")) return std::vector<std::string>{"/usr/sbin/mkfs.xfs", "-q", "-m", "reflink=1"};
    if (fs::exists("/usr/sbin/mkfs.btrfs")) return std::vector<std::string>{"/usr/sbin/mkfs.btrfs", "-q"};
    return std::nullopt;
}

bool LoopDisk::make(const fs::path& image, std::uintmax_t bytes, std::vector<std::string> mkfs) {
    { const int out = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600); if (out < 0) return false; ::close(out); }
    fs::resize_file(image, bytes);
    mkfs.push_back(image.string());
    return succeeds(mkfs);
}

bool LoopDisk::mount(const fs::path& image, const fs::path& folder, const std::string& options) {
    return succeeds({"/usr/bin/mount", "-o", options.empty() ? std::string("loop") : "loop," + options, image.string(), folder.string()});
}

bool LoopDisk::bind(const fs::path& folder, const fs::path& at) { return succeeds({"/usr/bin/mount", "--bind", folder.string(), at.string()}); }

std::int64_t LoopDisk::settledFreeBytes(const fs::path& image, const fs::path& folder) {
    if (!succeeds({"/usr/bin/umount", folder.string()}) || !mount(image, folder)) return -1;
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return -1;
    return std::int64_t(info.f_bfree) * std::int64_t(info.f_frsize);
}

bool LoopDisk::reflink(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool cloned = in >= 0 && out >= 0 && ::ioctl(out, FICLONE, in) == 0;
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    return cloned;
}
