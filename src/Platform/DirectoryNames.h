#pragma once

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

// Lists the names in an open directory with getdents64 into a reused buffer, from its start each
// call, without the allocation opendir makes; "." and ".." are left out. Returns false when the
// directory cannot be read.
template <typename Visit>
bool forEachDirectoryName(int directory, std::vector<char>& buffer, Visit visit) {
    if (buffer.size() < 32768) buffer.resize(32768);
    if (::lseek(directory, 0, SEEK_SET) < 0) return false;
    for (;;) {
        long got = ::syscall(SYS_getdents64, directory, buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) return true;
        for (long offset = 0; offset < got;) {
            // struct linux_dirent64: ino (8), off (8), reclen (2), type (1), name.
            const char* record = buffer.data() + offset;
            unsigned short length = 0;
            std::memcpy(&length, record + 16, sizeof length);
            std::string_view name(record + 19);
            if (name != "." && name != "..") visit(name);
            offset += length;
        }
    }
}
