#include "Platform/ListeningSockets.h"

#include "Platform/DirectoryNames.h"
#include "Platform/KernelText.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>

ListeningSockets::ListeningSockets(const SystemRoots& roots)
    : procFd_(::open(roots.proc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      tcp_(roots.proc / "net/tcp"),
      tcp6_(roots.proc / "net/tcp6") {
    linkBuffer_.resize(64);
}

ListeningSockets::~ListeningSockets() {
    if (procFd_ >= 0) ::close(procFd_);
}

void ListeningSockets::refresh() {
    portByInode_.clear();
    if (auto table = tcp_.read()) addListening(*table);
    if (auto table = tcp6_.read()) addListening(*table);
}

void ListeningSockets::addListening(std::string_view table) {
    // "sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode ...",
    // the local address as hex "ADDRESS:PORT", state 0A = listening.
    KernelText::nextLine(table);
    while (!table.empty()) {
        std::string_view line = KernelText::nextLine(table);
        KernelText::nextField(line);
        std::string_view local = KernelText::nextField(line);
        KernelText::nextField(line);
        if (KernelText::nextField(line) != "0A") continue;
        size_t colon = local.rfind(':');
        if (colon == std::string_view::npos) continue;
        auto port = KernelText::unsignedNumber(local.substr(colon + 1), 16);
        for (int skip = 0; skip < 5; ++skip) KernelText::nextField(line);
        auto inode = KernelText::unsignedNumber(KernelText::nextField(line));
        if (!port || *port == 0 || *port > 65535 || !inode || *inode == 0) continue;
        portByInode_[*inode] = static_cast<int>(*port);
    }
}

std::vector<int> ListeningSockets::ports(std::int32_t pid) {
    std::vector<int> found;
    if (procFd_ < 0 || pid < 1 || portByInode_.empty()) return found;
    std::string folder = std::to_string(pid) + "/fd";
    int fds = ::openat(procFd_, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0) return found;
    constexpr std::string_view prefix = "socket:[";
    forEachDirectoryName(fds, listing_, [&](std::string_view name) {
        ssize_t length = ::readlinkat(fds, std::string(name).c_str(), linkBuffer_.data(), linkBuffer_.size());
        if (length < 1) return;
        std::string_view target(linkBuffer_.data(), static_cast<size_t>(length));
        if (target.substr(0, prefix.size()) != prefix || target.back() != ']') return;
        auto inode = KernelText::unsignedNumber(target.substr(prefix.size(), target.size() - prefix.size() - 1));
        if (!inode) return;
        if (auto port = portByInode_.find(*inode); port != portByInode_.end()) found.push_back(port->second);
    });
    ::close(fds);
    return found;
}
