// A process that holds memory for the monitor's tests, copied under a name of its own:
// quarnell-memory-holder map FILE | own BYTES | fork BYTES WORKERS
//   map: maps FILE read-only, shared, and reads a byte of every page of it;
//   own: fills BYTES of anonymous memory of its own;
//   fork: fills BYTES, then forks WORKERS processes that share them and hold them as long.
// Prints "ready" once every page is in, then holds them until its input ends.
#include <sys/mman.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool forks = argc == 4 && std::strcmp(argv[1], "fork") == 0;
    if (argc != 3 && !forks) return 2;
    const long page = ::sysconf(_SC_PAGESIZE);
    volatile unsigned char sum = 0;
    bool worker = false;
    if (std::strcmp(argv[1], "map") == 0) {
        int fd = ::open(argv[2], O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (fd < 0 || ::fstat(fd, &status) != 0 || status.st_size < 1) return 3;
        const size_t size = static_cast<size_t>(status.st_size);
        auto* bytes = static_cast<const unsigned char*>(::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0));
        if (bytes == MAP_FAILED) return 3;
        for (size_t at = 0; at < size; at += static_cast<size_t>(page)) sum = static_cast<unsigned char>(sum + bytes[at]);
    } else if (std::strcmp(argv[1], "own") == 0 || forks) {
        const size_t size = std::strtoull(argv[2], nullptr, 10);
        void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (bytes == MAP_FAILED) return 3;
        std::memset(bytes, 0x5a, size);
        for (long left = forks ? std::strtol(argv[3], nullptr, 10) : 0; left > 0; --left) {
            const pid_t child = ::fork();
            if (child < 0) return 3;
            if (child == 0) {
                worker = true;  // holds what it was forked with until the input ends
                break;
            }
        }
    } else {
        return 2;
    }
    if (!worker) {
        std::puts("ready");
        std::fflush(stdout);
    }
    char buffer[64];
    while (::read(0, buffer, sizeof buffer) > 0) {
    }
    return 0;
}
