#include "Platform/DiskStatistics.h"
#include "Platform/ListeningSockets.h"
#include "Platform/LoadAverage.h"
#include "Platform/NetworkStatistics.h"
#include "Platform/ProcessTable.h"
#include "Platform/ProcessorInfo.h"
#include "Support/FakeMachine.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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

TEST(NetworkStatistics, ReadsEveryInterfaceButLoopbackWith64BitCounters) {
    FakeMachine machine;
    machine.write("proc/net/dev",
                  "Inter-|   Receive                                                |  Transmit\n"
                  " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n"
                  "    lo:    3267      29    0    0    0     0          0         0     3267      29    0    0    0     0       0          0\n"
                  "  eth0: 9000000000    1909    0    0    0     0          0         0   107674    1371    0    0    0     0       0          0\n"
                  " wlan0:1000 5 0 0 0 0 0 0 2000 5 0 0 0 0 0 0\n"
                  " vpn|0: 70 1 0 0 0 0 0 0 80 1 0 0 0 0 0 0\n"  // a bar is allowed in an interface name
                  "docker0:       0       0    0    0    0     0          0         0        6       0    0    0    0     0       0          0\n");
    auto interfaces = NetworkStatistics(machine.roots()).read();
    ASSERT_TRUE(interfaces);
    std::uint64_t received = 0, sent = 0;
    for (const InterfaceTotals& interface : *interfaces) {
        received += interface.received;
        sent += interface.sent;
    }
    EXPECT_EQ(received, 9000000000ull + 1000 + 70);
    EXPECT_EQ(sent, 107674u + 2000 + 80 + 6);
    ASSERT_EQ(interfaces->size(), 4u);
    EXPECT_EQ((*interfaces)[2].name, "vpn|0");
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
    machine.process({.pid = 42, .ppid = 7, .comm = "my (odd) name", .exe = "/usr/bin/ruby3.1", .cwd = "/home/u/app", .utime = 150,
                     .stime = 50, .startTicks = 2500, .rssPages = 1000, .fileKiB = 1500, .shmemKiB = 500, .writeBytes = 4096, .faults = 300, .reapedFaults = 1200});
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
    EXPECT_EQ(process->residentBytes, 1000u * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)));
    // Its own pages, not those of the files it maps.
    ASSERT_TRUE(table.readOwnMemory(*process));
    EXPECT_EQ(process->anonymousBytes, 1000u * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) - 2000 * 1024);
    EXPECT_EQ(process->sharedMemoryBytes, 500u * 1024);
    EXPECT_EQ(process->parentPid, 7);
    EXPECT_EQ(process->bytesWrittenWithReapedChildren, 4096u);
    EXPECT_EQ(process->faults, 300u);
    EXPECT_EQ(process->reapedFaults, 1200u);
    EXPECT_EQ(table.workingDirectory(42), "/home/u/app");
    EXPECT_NEAR(table.startTime(2500)->unixSeconds(), FakeMachine::bootTime + 2500 / table.ticksPerSecond(), 1e-3);

    EXPECT_FALSE(table.read(2));
    EXPECT_FALSE(table.read(7));
    machine.write("proc/43/stat", "43 (truncated");
    EXPECT_FALSE(table.read(43));

    // A process that ended and waits to be reaped has no program, but its start time still tells it
    // from a later process of the same id.
    machine.process({.pid = 44, .ppid = 42, .comm = "dd", .startTicks = 2600});
    EXPECT_FALSE(table.read(44));
    EXPECT_EQ(table.start(44)->ticks, 2600u);
    EXPECT_FALSE(table.start(44)->beingReaped);
    EXPECT_EQ(table.start(42)->ticks, 2500u);
    machine.process({.pid = 44, .ppid = 42, .comm = "dd", .state = 'X', .startTicks = 2600});
    EXPECT_TRUE(table.start(44)->beingReaped);
    machine.removeProcess(44);
    EXPECT_FALSE(table.start(44));
    EXPECT_FALSE(table.start(43));
}

TEST(ProcessTable, CountsWhatAnEndedThreadWroteInItsProcessOnTheKernelsCounters) {
    TempTree tree;
    ProcessTable table(SystemRoots{});
    auto before = table.read(::getpid());
    ASSERT_TRUE(before);
    const std::uint64_t written = before->bytesWrittenWithReapedChildren;
    bool wrote = false;
    std::thread writer([&] {
        int fd = ::open((tree.path() / "written").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const std::string block(1 << 20, 'x');
        wrote = fd >= 0 && ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
        if (fd >= 0) ::close(fd);
    });
    writer.join();
    ASSERT_TRUE(wrote) << "could not write in " << tree.path();
    auto after = table.read(::getpid());
    ASSERT_TRUE(after);
    if (after->bytesWrittenWithReapedChildren == written) GTEST_SKIP() << "this file system does not count what is written to it";
    EXPECT_GE(after->bytesWrittenWithReapedChildren - written, 1u << 20);
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
