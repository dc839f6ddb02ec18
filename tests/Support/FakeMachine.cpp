#include "Support/FakeMachine.h"

#include <cstdio>

#include <unistd.h>

FakeMachine::FakeMachine() {
    tree.folder("proc");
    tree.folder("sys/class/power_supply");
    tree.folder("sys/block");
    tree.folder("home");
    cpuTicks(0, 0, 0, 0);
    write("proc/loadavg", "0.50 0.40 0.30 1/100 4242\n");
}

void FakeMachine::cpuTicks(std::uint64_t user, std::uint64_t nice, std::uint64_t system, std::uint64_t idle, std::uint64_t iowait,
                           std::uint64_t irq, std::uint64_t softirq, std::uint64_t steal) {
    char line[512];
    std::snprintf(line, sizeof line, "cpu  %llu %llu %llu %llu %llu %llu %llu %llu 0 0\n",
                  (unsigned long long)user, (unsigned long long)nice, (unsigned long long)system, (unsigned long long)idle,
                  (unsigned long long)iowait, (unsigned long long)irq, (unsigned long long)softirq, (unsigned long long)steal);
    write("proc/stat", std::string(line) + "cpu0 1 2 3 4 5 6 7 8 0 0\nintr 12345 0 0\nctxt 99\nbtime " +
                           std::to_string(bootTime) + "\nprocesses 500\n");
}

namespace {

std::string stat(const FakeProcess& p, int tid, size_t threads, std::uint64_t startTicks) {
    char text[1024];
    std::snprintf(text, sizeof text,
                  "%d (%s) %c %d %d %d 0 -1 4194304 %llu %llu 0 0 %llu %llu %llu %llu 20 0 %zu 0 %llu 123456789 %llu 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 17 3 0 0\n",
                  tid, p.comm.c_str(), p.state, p.ppid, p.pid, p.pid, (unsigned long long)p.faults, (unsigned long long)p.reapedFaults,
                  (unsigned long long)p.utime, (unsigned long long)p.stime,
                  (unsigned long long)p.reapedUtime, (unsigned long long)p.reapedStime, threads, (unsigned long long)startTicks,
                  (unsigned long long)p.rssPages);
    return text;
}

std::string status(const FakeProcess& p) {
    const std::uint64_t residentKiB = p.rssPages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) / 1024;
    const std::uint64_t anonymousKiB = residentKiB > p.fileKiB + p.shmemKiB ? residentKiB - p.fileKiB - p.shmemKiB : 0;
    auto kiB = [](std::uint64_t value) { return std::to_string(value) + " kB\n"; };
    return "Name:\t" + p.comm + "\nUmask:\t0022\nState:\t" + p.state + " (sleeping)\nPid:\t" + std::to_string(p.pid) +
           "\nVmPeak:\t   99999 kB\nVmRSS:\t" + kiB(residentKiB) + "RssAnon:\t" + kiB(anonymousKiB) + "RssFile:\t" + kiB(p.fileKiB) +
           "RssShmem:\t" + kiB(p.shmemKiB) + "VmData:\t   12345 kB\nThreads:\t1\n";
}

std::string io(std::uint64_t writeBytes) {
    return "rchar: 1\nwchar: 2\nsyscr: 3\nsyscw: 4\nread_bytes: 5\nwrite_bytes: " + std::to_string(writeBytes) +
           "\ncancelled_write_bytes: 0\n";
}

}  // namespace

void FakeMachine::process(const FakeProcess& p) {
    std::string folder = "proc/" + std::to_string(p.pid) + "/";
    std::filesystem::remove_all(tree.path() / folder);
    std::vector<FakeThread> threads = p.threads;
    if (threads.empty()) threads.push_back({p.pid, p.startTicks, p.writeBytes});
    write(folder + "stat", stat(p, p.pid, threads.size(), p.startTicks));
    if (!p.unreadable) write(folder + "io", io(p.writeBytes));
    write(folder + "status", status(p));
    if (p.pssAnonKiB)
        write(folder + "smaps_rollup", "55a0c0de0000-7ffd00000000 ---p 00000000 00:00 0                          [rollup]\nRss:  1 kB\nPss:  1 kB\n"
                                       "Pss_Dirty:  1 kB\nPss_Anon:  " + std::to_string(*p.pssAnonKiB) + " kB\nPss_File:  0 kB\nPss_Shmem:  " +
                                       std::to_string(p.pssShmemKiB) + " kB\nShared_Clean:  0 kB\n");
    for (const FakeThread& thread : threads) {
        std::string task = folder + "task/" + std::to_string(thread.tid) + "/";
        write(task + "stat", stat(p, thread.tid, threads.size(), thread.startTicks));
        if (!p.unreadable) write(task + "io", io(thread.writeBytes));
    }
    if (!p.exe.empty()) std::filesystem::create_symlink(p.exe, tree.path() / folder / "exe");
    if (p.unreadable) write(folder + "exe", "");  // not a link: reading it fails otherwise than for a missing one
    if (!p.cwd.empty()) std::filesystem::create_symlink(p.cwd, tree.path() / folder / "cwd");
    tree.folder(folder + "fd");
    std::filesystem::create_symlink("/dev/null", tree.path() / folder / "fd/0");
    int fd = 3;
    for (std::uint64_t inode : p.socketInodes)
        std::filesystem::create_symlink("socket:[" + std::to_string(inode) + "]", tree.path() / folder / "fd" / std::to_string(fd++));
}

void FakeMachine::removeProcess(int pid) { std::filesystem::remove_all(tree.path() / "proc" / std::to_string(pid)); }

void FakeMachine::tcp(const std::vector<Socket>& sockets, bool ipv6) {
    std::string table = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";
    int row = 0;
    for (const Socket& socket : sockets) {
        char line[256];
        const char* address = ipv6 ? "00000000000000000000000000000000" : "0100007F";
        std::snprintf(line, sizeof line, "%4d: %s:%04X %s:0000 %s 00000000:00000000 00:00000000 00000000  1000        0 %llu 1 0000000000000000 100 0 0 10 0\n",
                      row++, address, socket.port, address, socket.state.c_str(), (unsigned long long)socket.inode);
        table += line;
    }
    write(ipv6 ? "proc/net/tcp6" : "proc/net/tcp", table);
}
