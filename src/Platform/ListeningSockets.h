#pragma once

#include "Platform/KernelFile.h"
#include "Platform/SystemRoots.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The TCP ports processes listen on: the listening sockets of /proc/net/tcp and /proc/net/tcp6 by
// socket inode, matched against the "socket:[inode]" links of a process's open descriptors.
class ListeningSockets {
public:
    explicit ListeningSockets(const SystemRoots& roots);
    ~ListeningSockets();
    ListeningSockets(const ListeningSockets&) = delete;
    ListeningSockets& operator=(const ListeningSockets&) = delete;

    // Reads the listening sockets of both tables afresh; once per refresh, before ports().
    void refresh();
    // The ports among the process's descriptors, in descriptor order, duplicates kept; empty when its
    // descriptors cannot be read.
    std::vector<int> ports(std::int32_t pid);

private:
    void addListening(std::string_view table);

    int procFd_ = -1;
    KernelFile tcp_;
    KernelFile tcp6_;
    std::unordered_map<std::uint64_t, int> portByInode_;
    std::vector<char> listing_;
    std::string linkBuffer_;
};
