#include "Platform/DiskStatistics.h"
#include "Platform/ListeningSockets.h"
#include "Platform/LoadAverage.h"
#include "Platform/NetworkStatistics.h"
#include "Platform/ProcessTable.h"
#include "Platform/ProcessorInfo.h"
#include "Support/FakeMachine.h"
#include "Support/KernelWriteCount.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

std::string diskLine(const std::string& major, const std::string& name, std::uint64_t sectorsRead, std::uint64_t sectorsWritten) {
    return "   " + major + "       0 " + name + " 10 0 " + std::to_string(sectorsRead) + " 5 20 0 " + std::to_string(sectorsWritten) +
           " 7 0 12 19 0 0 0 0 0 0\n";
}

}  // namespace

TEST(DiskStatistics, CountsWholePhysicalDisksOnly) {
    FakeMachine machine;
    for (const char* disk : {"nvme0n1", "sda", "cciss!c0d0"}) machine.tree.folder(std::string("sys/block/") + disk + "/device");
    for (const char* virtualDisk : {"loop0", "zram0", "dm-0", "md0"}) machine.tree.folder(std::string("sys/block/") + virtualDisk);
    machine.write("proc/diskstats", diskLine("259", "nvme0n1", 100, 200) + diskLine("259", "nvme0n1p1", 90, 190) +
                                        diskLine("8", "sda", 1, 2) + diskLine("8", "sda1", 1, 2) + diskLine("7", "loop0", 1000, 1000) +
                                        diskLine("252", "zram0", 1000, 1000) + diskLine("253", "dm-0", 1000, 1000) +
                                        diskLine("9", "md0", 1000, 1000) + diskLine("104", "cciss/c0d0", 10, 20));
    DiskStatistics disks(machine.roots());
    auto totals = disks.read();
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->read, (100 + 1 + 10) * 512u);
    EXPECT_EQ(totals->written, (200 + 2 + 20) * 512u);

    // Every read sees the file as it is now; a vanished file reads as absent.
    machine.write("proc/diskstats", diskLine("8", "sda", 4, 8));
    EXPECT_EQ(disks.read()->read, 4 * 512u);
    std::filesystem::remove(machine.tree.path() / "proc/diskstats");
    EXPECT_FALSE(disks.read());
}

TEST(NetworkStatistics, SumsEveryInterfaceButLoopbackWith64BitCounters) {
    FakeMachine machine;
    machine.write("proc/net/dev",
                  "Inter-|   Receive                                                |  Transmit\n"
                  " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n"
                  "    lo:    3267      29    0    0    0     0          0         0     3267      29    0    0    0     0       0          0\n"
                  "  eth0: 9000000000    1909    0    0    0     0          0         0   107674    1371    0    0    0     0       0          0\n"
                  " wlan0:1000 5 0 0 0 0 0 0 2000 5 0 0 0 0 0 0\n"
                  " vpn|0: 70 1 0 0 0 0 0 0 80 1 0 0 0 0 0 0\n"  // a bar is allowed in an interface name
                  "docker0:       0       0    0    0    0     0          0         0        6       0    0    0    0     0       0          0\n");
    auto totals = NetworkStatistics(machine.roots()).read();
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->received, 9000000000ull + 1000 + 70);
    EXPECT_EQ(totals->sent, 107674u + 2000 + 80 + 6);
    std::filesystem::remove(machine.tree.path() / "proc/net/dev");
    EXPECT_FALSE(NetworkStatistics(machine.roots()).read());
}

TEST(ProcessorInfo, CoreKindsCountAndChipName) {
    FakeMachine machine;
    machine.write("sys/devices/system/cpu/online", "0-15\n");
    machine.write("proc/cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: 12th Gen Intel(R) Core(TM) i7-1260P\n\n");
    ProcessorInfo uniform = ProcessorInfo::read(machine.roots());
    EXPECT_EQ(uniform.performanceCores, 0);
    EXPECT_EQ(uniform.efficiencyCores, 0);
    EXPECT_EQ(uniform.logicalCores, 16);
    EXPECT_EQ(uniform.chipName, "12th Gen Intel(R) Core(TM) i7-1260P");

    machine.write("sys/devices/cpu_core/cpus", "0-7\n");
    machine.write("sys/devices/cpu_atom/cpus", "8-15\n");
    ProcessorInfo hybrid = ProcessorInfo::read(machine.roots());
    EXPECT_EQ(hybrid.performanceCores, 8);
    EXPECT_EQ(hybrid.efficiencyCores, 8);

    // A list too large to be real is malformed, not a wrapped-around count.
    machine.write("sys/devices/cpu_core/cpus", "0-4294967296\n");
    machine.write("sys/devices/cpu_atom/cpus", "0-7,8-2147483655\n");
    ProcessorInfo absurd = ProcessorInfo::read(machine.roots());
    EXPECT_EQ(absurd.performanceCores, 0);
    EXPECT_EQ(absurd.efficiencyCores, 0);

    // No cpu list and no model name: the process's count and an empty name.
    std::filesystem::remove(machine.tree.path() / "sys/devices/system/cpu/online");
    machine.write("proc/cpuinfo", "processor\t: 0\nCPU implementer\t: 0x41\n");
    ProcessorInfo plain = ProcessorInfo::read(machine.roots());
    EXPECT_GE(plain.logicalCores, 1);
    EXPECT_EQ(plain.chipName, "");
}

TEST(LoadAverage, ReadsTheOneMinuteFigure) {
    FakeMachine machine;
    LoadAverage load(machine.roots());
    EXPECT_DOUBLE_EQ(*load.oneMinute(), 0.5);
    machine.write("proc/loadavg", "garbage\n");
    EXPECT_FALSE(load.oneMinute());
    // Words that parse as numbers are no load figure.
    for (const char* odd : {"nan 0.1 0.1 1/100 42\n", "inf 0.1 0.1 1/100 42\n"}) {
        machine.write("proc/loadavg", odd);
        EXPECT_FALSE(load.oneMinute()) << odd;
    }
}

TEST(ProcessTable, ReadsStatIoAndLinks) {
    FakeMachine machine;
    machine.process({.pid = 42, .comm = "my (odd) name", .exe = "/usr/bin/ruby3.1", .cwd = "/home/u/app", .utime = 150, .stime = 50,
                     .startTicks = 2500, .rssPages = 10, .writeBytes = 4096});
    machine.process({.pid = 2, .comm = "kthreadd"});  // a kernel thread has no program
    machine.write("proc/self/stat", "not a process");
    ProcessTable table(machine.roots());
    auto pids = table.pids();
    ASSERT_TRUE(pids);
    std::sort(pids->begin(), pids->end());
    EXPECT_EQ(*pids, (std::vector<std::int32_t>{2, 42}));

    auto process = table.read(42);
    ASSERT_TRUE(process);
    EXPECT_EQ(process->commandName, "my (odd) name");
    EXPECT_EQ(process->executablePath, "/usr/bin/ruby3.1");
    EXPECT_EQ(process->cpuTicks, 200u);
    EXPECT_EQ(process->startTicks, 2500u);
    EXPECT_EQ(process->residentBytes, 10u * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)));
    EXPECT_EQ(process->threadCount, 1u);
    ASSERT_EQ(table.threadWrites(*process).size(), 1u);
    EXPECT_EQ(table.threadWrites(*process)[0].bytesWritten, 4096u);
    EXPECT_EQ(table.workingDirectory(42), "/home/u/app");
    EXPECT_NEAR(table.startTime(2500)->unixSeconds(), FakeMachine::bootTime + 2500 / table.ticksPerSecond(), 1e-3);

    EXPECT_FALSE(table.read(2));
    EXPECT_FALSE(table.read(7));
    machine.write("proc/43/stat", "43 (truncated");
    EXPECT_FALSE(table.read(43));
}

TEST(ProcessTable, ListsTheThreadsThatWroteWithTheirOwnCounts) {
    FakeMachine machine;
    // The io file holds 90 MB of a reaped child's: no thread's own.
    machine.process({.pid = 50, .comm = "ninja", .exe = "/usr/bin/ninja", .startTicks = 700, .writeBytes = 90'000'000,
                     .threads = {{50, 700, 1000}, {51, 900, 0}, {52, 950, 3000}}});
    ProcessTable table(machine.roots());
    auto process = table.read(50);
    ASSERT_TRUE(process);
    EXPECT_EQ(process->commandName, "ninja");
    EXPECT_EQ(process->threadCount, 3u);
    std::vector<ThreadWrites> threads = table.threadWrites(*process);
    std::sort(threads.begin(), threads.end(), [](const ThreadWrites& a, const ThreadWrites& b) { return a.tid < b.tid; });
    ASSERT_EQ(threads.size(), 2u);  // the thread that wrote nothing is left out
    EXPECT_EQ(threads[0].tid, 50);
    EXPECT_EQ(threads[0].startTicks, 700u);
    EXPECT_EQ(threads[0].bytesWritten, 1000u);
    EXPECT_EQ(threads[1].tid, 52);
    EXPECT_EQ(threads[1].startTicks, 950u);
    EXPECT_EQ(threads[1].bytesWritten, 3000u);
    EXPECT_EQ(process->commandName, "ninja");  // still valid after the threads' own records were read

    // Counts that cannot be read leave nothing.
    machine.process({.pid = 70, .comm = "other", .exe = "/usr/bin/other", .writeBytes = 5000});
    std::filesystem::remove(machine.tree.path() / "proc/70/task/70/io");
    process = table.read(70);
    ASSERT_TRUE(process);
    EXPECT_TRUE(table.threadWrites(*process).empty());
}

TEST(ProcessTable, CountsAThreadsOwnWritesOnTheKernelsCounters) {
    TempTree tree;
    const std::filesystem::path file = tree.path() / "written";
    std::promise<pid_t> wrote;
    std::promise<void> finish;
    std::future<void> finished = finish.get_future();
    std::thread writer([&] {
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const std::string block(1 << 20, 'x');
        const bool written = fd >= 0 && ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
        if (fd >= 0) ::close(fd);
        wrote.set_value(written ? ::gettid() : 0);
        finished.wait();
    });
    const pid_t tid = wrote.get_future().get();
    const std::uint64_t kernelCount = tid > 0 ? kernelWriteCount("/proc/self/task/" + std::to_string(tid) + "/io") : 0;

    ProcessTable table(SystemRoots{});
    auto self = table.read(::getpid());
    ASSERT_TRUE(self);
    auto writerEntry = [&]() -> std::optional<ThreadWrites> {
        for (const ThreadWrites& thread : table.threadWrites(*self))
            if (thread.tid == tid) return thread;
        return std::nullopt;
    };
    auto entry = writerEntry();
    finish.set_value();
    writer.join();
    ASSERT_GT(tid, 0) << "could not write " << file;
    if (kernelCount == 0) GTEST_SKIP() << "this file system does not count what is written to it";
    ASSERT_TRUE(entry);
    EXPECT_GE(entry->bytesWritten, 1u << 20);
    EXPECT_GE(entry->startTicks, self->startTicks);
    // Ended, its count lives on only in the process's total. A joined thread may still be on its way
    // out of the kernel's tables for a moment.
    while (std::filesystem::exists("/proc/self/task/" + std::to_string(tid))) std::this_thread::yield();
    self = table.read(::getpid());
    ASSERT_TRUE(self);
    EXPECT_FALSE(writerEntry());
}

TEST(ListeningSockets, MapsListeningInodesOfBothFamiliesToPorts) {
    FakeMachine machine;
    machine.tcp({{8080, "0A", 111}, {5432, "01", 112}, {3000, "0A", 113}});
    machine.tcp({{8080, "0A", 211}}, true);
    machine.process({.pid = 10, .comm = "node", .exe = "/usr/bin/node", .socketInodes = {211, 112, 111, 999}});
    machine.process({.pid = 11, .comm = "node", .exe = "/usr/bin/node"});
    ListeningSockets sockets(machine.roots());
    sockets.refresh();
    EXPECT_EQ(sockets.ports(10), (std::vector<int>{8080, 8080}));
    EXPECT_TRUE(sockets.ports(11).empty());
    EXPECT_TRUE(sockets.ports(12).empty());
}
