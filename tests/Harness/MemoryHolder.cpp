// A process that holds memory for the monitor's tests, copied under a name of its own:
// quarnell-memory-holder map FILE | own BYTES | fork BYTES WORKERS | fork-sharing BYTES SHARED WORKERS
//   map: maps FILE read-only, shared, and reads a byte of every page of it;
//   own: fills BYTES of anonymous memory of its own;
//   fork: fills BYTES, then forks WORKERS processes that share them and hold them as long;
//   fork-sharing: as fork, with SHARED bytes of shared anonymous memory mapped before the fork and
//     left empty; the line "fill" has it fill them and then each worker read them, which ends with
//     "filled".
// Prints "ready" once every page is in, then holds them until its input ends.
#include <sys/mman.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Fills BYTES of its own, maps SHARED bytes that it and the WORKERS it forks share, and waits for the
// line "fill": then it writes every shared page and has each worker read them. Workers take no input:
// they end when it does.
int forkSharing(size_t size, size_t shared, long workers) {
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* own = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    auto* common = static_cast<unsigned char*>(::mmap(nullptr, shared, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    int go[2], done[2];
    if (own == MAP_FAILED || common == MAP_FAILED || ::pipe(go) != 0 || ::pipe(done) != 0) return 3;
    std::memset(own, 0x5a, size);
    const pid_t parent = ::getpid();
    for (long left = workers; left > 0; --left) {
        const pid_t child = ::fork();
        if (child < 0) return 3;
        if (child > 0) continue;
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) return 0;
        ::close(go[1]);
        ::close(done[0]);
        char byte = 0;
        if (::read(go[0], &byte, 1) != 1) return 0;
        volatile unsigned char sum = 0;
        for (size_t at = 0; at < shared; at += page) sum = static_cast<unsigned char>(sum + common[at]);
        if (::write(done[1], &byte, 1) != 1) return 3;
        ::pause();  // until its parent ends, which ends it
        return 0;
    }
    std::puts("ready");
    std::fflush(stdout);
    char line[64] = {};
    if (std::fgets(line, sizeof line, stdin) && std::strcmp(line, "fill\n") == 0) {
        std::memset(common, 0x33, shared);
        for (long worker = 0; worker < workers; ++worker)
            if (::write(go[1], "g", 1) != 1) return 3;
        for (long worker = 0; worker < workers; ++worker) {
            char byte = 0;
            if (::read(done[0], &byte, 1) != 1) return 3;
        }
        std::puts("filled");
        std::fflush(stdout);
    }
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "fork-sharing") == 0)
        return forkSharing(std::strtoull(argv[2], nullptr, 10), std::strtoull(argv[3], nullptr, 10), std::strtol(argv[4], nullptr, 10));
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
