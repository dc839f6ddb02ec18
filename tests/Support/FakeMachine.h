#pragma once

#include "Platform/SystemRoots.h"
#include "Support/TempTree.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Tests describe a process with designated initializers that name only the fields that matter to them.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// One thread of a fake process, with what it wrote itself.
struct FakeThread {
    int tid = 0;
    std::uint64_t startTicks = 0;
    std::uint64_t writeBytes = 0;
};

// One process of a fake /proc tree.
struct FakeProcess {
    int pid = 0;
    int ppid = 1;
    std::string comm;
    char state = 'S';  // 'Z' waiting to be reaped, 'X' being reaped
    std::string exe;  // the exe link's target; empty for a kernel thread or a zombie (no link)
    std::string cwd;  // the cwd link's target; empty for none
    std::uint64_t utime = 0;
    std::uint64_t stime = 0;
    std::uint64_t reapedUtime = 0;  // cutime: its reaped children's, theirs included
    std::uint64_t reapedStime = 0;  // cstime
    std::uint64_t startTicks = 0;
    std::uint64_t rssPages = 0;  // resident: its anonymous pages and these two
    std::uint64_t fileKiB = 0;   // of mapped files
    std::uint64_t shmemKiB = 0;  // of shared memory
    std::uint64_t writeBytes = 0;  // the process's io file: its threads', ended threads' and reaped children's
    std::uint64_t faults = 0;        // minflt: its threads', ended ones too
    std::uint64_t reapedFaults = 0;  // cminflt: its reaped children's, theirs included
    // Its live threads under task/; when none are named, one thread of the process's id that wrote
    // all of `writeBytes`.
    std::vector<FakeThread> threads;
    std::vector<std::uint64_t> socketInodes;  // open sockets, as fd links
    // Another user's, or running a setuid program: its stat alone can be read, not its program (an exe
    // that is no link stands for the denied one) or its io.
    bool unreadable = false;
    // Its smaps_rollup's proportional shares; none written when absent.
    std::optional<std::uint64_t> pssAnonKiB = {};
    std::uint64_t pssShmemKiB = 0;
};

// A fake machine under a temporary folder: /proc and /sys files that the monitor's stand-ins read,
// written in the kernel's own formats.
class FakeMachine {
public:
    FakeMachine();

    SystemRoots roots() const { return SystemRoots::fixture(tree.path()); }
    std::filesystem::path home() const { return tree.path() / "home"; }

    void cpuTicks(std::uint64_t user, std::uint64_t nice, std::uint64_t system, std::uint64_t idle, std::uint64_t iowait = 0,
                  std::uint64_t irq = 0, std::uint64_t softirq = 0, std::uint64_t steal = 0);
    void process(const FakeProcess& process);
    void removeProcess(int pid);
    // Rows of /proc/net/tcp or tcp6: (local port, state "0A" listening or another, inode).
    struct Socket {
        int port;
        std::string state;
        std::uint64_t inode;
    };
    void tcp(const std::vector<Socket>& sockets, bool ipv6 = false);
    void write(const std::string& relative, const std::string& content) { tree.write(relative, content); }

    TempTree tree;
    static constexpr std::uint64_t bootTime = 1700000000;  // btime, seconds since 1970
};
