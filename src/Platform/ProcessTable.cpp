#include "Platform/ProcessTable.h"

#include "Platform/DirectoryNames.h"
#include "Platform/KernelFile.h"
#include "Platform/KernelText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace {

// "<pid>/<name>", or "<pid>/task/<tid>/<name>" for one of its threads, in a fixed buffer, so no path
// is allocated per process.
class ProcessPath {
public:
    ProcessPath(std::int32_t pid, std::string_view name) {
        number(pid);
        append("/");
        append(name);
    }
    ProcessPath(std::int32_t pid, std::int32_t tid, std::string_view name) {
        number(pid);
        append("/task/");
        number(tid);
        append("/");
        append(name);
    }
    ProcessPath(const ProcessPath&) = delete;
    ProcessPath& operator=(const ProcessPath&) = delete;
    const char* c_str() const { return text_.data(); }

private:
    void number(std::int32_t value) { end_ = std::to_chars(end_, end_ + 11, value).ptr; }
    void append(std::string_view part) {
        end_ += part.copy(end_, std::min(part.size(), static_cast<size_t>(text_.data() + text_.size() - 1 - end_)));
    }
    std::array<char, 64> text_{};
    char* end_ = text_.data();
};

// The fields of a stat record from the third (the state) to the 24th (rss), after the name, which
// may itself hold spaces and parentheses and so ends at the last ')'.
struct StatFields {
    std::string_view name;
    std::array<std::string_view, 22> values;
    std::uint64_t number(int field) const { return KernelText::unsignedNumber(values[static_cast<size_t>(field - 3)]).value_or(0); }
};

std::optional<StatFields> statFields(std::string_view stat) {
    size_t open = stat.find('(');
    size_t close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
    StatFields fields;
    fields.name = stat.substr(open + 1, close - open - 1);
    std::string_view rest = stat.substr(close + 1);
    for (std::string_view& value : fields.values) {
        value = KernelText::nextField(rest);
        if (value.empty()) return std::nullopt;
    }
    return fields;
}

std::uint64_t writeBytes(std::string_view io) {
    std::uint64_t written = 0;
    while (!io.empty()) {
        std::string_view line = KernelText::nextLine(io);
        if (KernelText::nextField(line) == "write_bytes:") written = KernelText::nextNumber(line);
    }
    return written;
}

// RssAnon and RssShmem of a status file, in bytes; they stand next to each other near its middle.
void readRssFields(std::string_view status, ProcessReading& reading) {
    size_t found = status.find("\nRssAnon:");
    if (found == std::string_view::npos) return;
    std::string_view rest = status.substr(found + 1);
    for (int line = 0; line < 3 && !rest.empty(); ++line) {
        std::string_view fields = KernelText::nextLine(rest);
        std::string_view name = KernelText::nextField(fields);
        const std::uint64_t bytes = KernelText::nextNumber(fields) * 1024;  // in kB
        if (name == "RssAnon:") reading.anonymousBytes = bytes;
        else if (name == "RssShmem:") reading.sharedMemoryBytes = bytes;
    }
}

std::optional<std::uint64_t> readBootTime(const std::filesystem::path& stat) {
    KernelFile file(stat);
    auto content = file.read();
    if (!content) return std::nullopt;
    std::string_view rest = *content;
    while (!rest.empty()) {
        std::string_view line = KernelText::nextLine(rest);
        if (KernelText::nextField(line) == "btime") return KernelText::unsignedNumber(KernelText::nextField(line));
    }
    return std::nullopt;
}

}  // namespace

ProcessTable::ProcessTable(const SystemRoots& roots)
    : procFd_(::open(roots.proc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), bootTime_(readBootTime(roots.proc / "stat")) {
    long ticks = ::sysconf(_SC_CLK_TCK);
    if (ticks > 0) ticksPerSecond_ = static_cast<double>(ticks);
    long page = ::sysconf(_SC_PAGESIZE);
    if (page > 0) pageSize_ = static_cast<std::uint64_t>(page);
    pathBuffer_.resize(4097);
}

ProcessTable::~ProcessTable() {
    if (procFd_ >= 0) ::close(procFd_);
}

std::optional<std::vector<std::int32_t>> ProcessTable::pids() {
    if (procFd_ < 0) return std::nullopt;
    pids_.clear();
    bool listed = forEachDirectoryName(procFd_, listing_, [&](std::string_view name) {
        auto pid = KernelText::unsignedNumber(name);
        if (pid && *pid > 0 && *pid <= 0x7fffffff) pids_.push_back(static_cast<std::int32_t>(*pid));
    });
    if (!listed) return std::nullopt;
    // /proc lists in ascending order already; a fixture tree need not.
    std::sort(pids_.begin(), pids_.end());
    kernelThreadsBefore_.swap(kernelThreads_);
    kernelThreads_.clear();
    return pids_;
}

std::optional<std::string_view> ProcessTable::link(std::int32_t pid, const char* name, std::string& buffer) {
    ssize_t length = ::readlinkat(procFd_, ProcessPath(pid, name).c_str(), buffer.data(), buffer.size());
    if (length < 1) return std::nullopt;
    return std::string_view(buffer.data(), static_cast<size_t>(length));
}

std::optional<ProcessReading> ProcessTable::read(std::int32_t pid) {
    deniedPid_ = 0;
    if (procFd_ < 0 || pid < 1) return std::nullopt;
    // The program first: most of the ids on a machine are kernel threads, which have none.
    auto path = link(pid, "exe", pathBuffer_);
    if (!path) {
        // Missing for a kernel thread (as root), a zombie and an ended process; denied otherwise.
        if (errno != ENOENT) deniedPid_ = pid;
        return std::nullopt;
    }
    // The write count before the stat: a child reaped between the two reads then shows in the reaped
    // faults, which tells `readReapedCountsAgain` to look again, rather than in the count alone.
    std::uint64_t written = 0;
    if (auto io = KernelFile::readOnce(procFd_, ProcessPath(pid, "io").c_str(), ioBuffer_)) written = writeBytes(*io);
    auto stat = KernelFile::readOnce(procFd_, ProcessPath(pid, "stat").c_str(), statBuffer_);
    if (!stat) return std::nullopt;
    auto fields = statFields(*stat);
    if (!fields) return std::nullopt;
    ProcessReading reading;
    reading.pid = pid;
    reading.executablePath = *path;
    reading.commandName = fields->name;
    reading.parentPid = static_cast<std::int32_t>(std::min<std::uint64_t>(fields->number(4), 0x7fffffff));
    reading.faults = fields->number(10);        // minflt
    reading.reapedFaults = fields->number(11);  // cminflt
    reading.cpuTicks = fields->number(14) + fields->number(15);        // utime + stime
    reading.reapedCpuTicks = fields->number(16) + fields->number(17);  // cutime + cstime
    reading.startTicks = fields->number(22);
    reading.residentBytes = fields->number(24) * pageSize_;
    reading.bytesWrittenWithReapedChildren = written;
    return reading;
}

bool ProcessTable::readOwnMemory(ProcessReading& reading) {
    auto status = KernelFile::readOnce(procFd_, ProcessPath(reading.pid, "status").c_str(), statusBuffer_);
    if (!status) return false;
    readRssFields(*status, reading);
    return true;
}

std::optional<ProportionalMemory> ProcessTable::readProportionalMemory(std::int32_t pid) {
    if (procFd_ < 0 || pid < 1) return std::nullopt;
    auto rollup = KernelFile::readOnce(procFd_, ProcessPath(pid, "smaps_rollup").c_str(), rollupBuffer_);
    if (!rollup) return std::nullopt;
    ProportionalMemory memory;
    bool anonymous = false;
    std::string_view rest = *rollup;
    while (!rest.empty()) {
        std::string_view fields = KernelText::nextLine(rest);
        std::string_view name = KernelText::nextField(fields);
        if (name == "Pss_Anon:") {
            memory.anonymousBytes = KernelText::nextNumber(fields) * 1024;  // in kB
            anonymous = true;
        } else if (name == "Pss_Shmem:") {
            memory.sharedMemoryBytes = KernelText::nextNumber(fields) * 1024;
        }
    }
    // Older kernels give the total alone, which holds the pages of mapped files too.
    if (!anonymous) return std::nullopt;
    return memory;
}

void ProcessTable::readReapedCountsAgain(ProcessReading& reading) {
    // The count read between two stats whose reaped faults are equal holds the same children as they
    // do. A process that keeps reaping is given up on after a few tries: what it reaped last then
    // shows in its count at the next pass.
    for (int tries = 0; tries < 3; ++tries) {
        auto io = KernelFile::readOnce(procFd_, ProcessPath(reading.pid, "io").c_str(), ioBuffer_);
        auto stat = KernelFile::readOnce(procFd_, ProcessPath(reading.pid, "stat").c_str(), otherStatBuffer_);
        auto fields = stat ? statFields(*stat) : std::nullopt;
        if (!io || !fields) return;  // ended meanwhile: the first reading stands
        reading.bytesWrittenWithReapedChildren = writeBytes(*io);
        const std::uint64_t reapedFaults = fields->number(11);
        if (reapedFaults == reading.reapedFaults) return;
        reading.faults = fields->number(10);
        reading.reapedFaults = reapedFaults;
        reading.cpuTicks = fields->number(14) + fields->number(15);
        reading.reapedCpuTicks = fields->number(16) + fields->number(17);
    }
}

const std::vector<ThreadWrites>* ProcessTable::threadWrites(std::int32_t pid, std::uint64_t startTicks) {
    threads_.clear();
    if (procFd_ < 0 || pid < 1) return nullptr;
    int tasks = ::openat(procFd_, ProcessPath(pid, "task").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tasks < 0) return nullptr;
    const bool listed = forEachDirectoryName(tasks, threadListing_, [&](std::string_view name) {
        auto tid = KernelText::unsignedNumber(name);
        if (!tid || *tid < 1 || *tid > 0x7fffffff) return;
        const auto thread = static_cast<std::int32_t>(*tid);
        auto io = KernelFile::readOnce(procFd_, ProcessPath(pid, thread, "io").c_str(), ioBuffer_);
        const std::uint64_t written = io ? writeBytes(*io) : 0;
        // A thread that wrote nothing yet counts from 0 whenever it is seen: the start time is read
        // only for the few that have written.
        if (written == 0) return;
        std::uint64_t threadStart = startTicks;
        if (thread != pid) {
            auto stat = KernelFile::readOnce(procFd_, ProcessPath(pid, thread, "stat").c_str(), otherStatBuffer_);
            auto fields = stat ? statFields(*stat) : std::nullopt;
            if (!fields) return;  // ended meanwhile
            threadStart = fields->number(22);
        }
        threads_.push_back(ThreadWrites{thread, threadStart, written});
    });
    ::close(tasks);
    return listed ? &threads_ : nullptr;
}

std::optional<UnreadableProcess> ProcessTable::unreadable(std::int32_t pid) {
    if (procFd_ < 0 || pid < 1 || pid != deniedPid_) return std::nullopt;
    // Kernel threads are denied too, when not read as root, and none of them reaps a process of ours.
    // Most live as long as the machine: an id listed as one at the previous listing still is one.
    if (std::binary_search(kernelThreadsBefore_.begin(), kernelThreadsBefore_.end(), pid)) {
        kernelThreads_.push_back(pid);
        return std::nullopt;
    }
    auto stat = KernelFile::readOnce(procFd_, ProcessPath(pid, "stat").c_str(), otherStatBuffer_);
    auto fields = stat ? statFields(*stat) : std::nullopt;
    if (!fields) return std::nullopt;
    constexpr std::uint64_t kernelThread = 0x00200000;  // PF_KTHREAD
    if ((fields->number(9) & kernelThread) != 0) {
        kernelThreads_.push_back(pid);
        return std::nullopt;
    }
    return UnreadableProcess{static_cast<std::int32_t>(std::min<std::uint64_t>(fields->number(4), 0x7fffffff)),
                             fields->number(22), fields->number(10), fields->number(11),
                             fields->number(14) + fields->number(15) + fields->number(16) + fields->number(17)};
}

std::optional<ProcessStart> ProcessTable::start(std::int32_t pid) {
    if (procFd_ < 0 || pid < 1) return std::nullopt;
    auto stat = KernelFile::readOnce(procFd_, ProcessPath(pid, "stat").c_str(), otherStatBuffer_);
    auto fields = stat ? statFields(*stat) : std::nullopt;
    if (!fields) return std::nullopt;
    return ProcessStart{fields->number(22), fields->values[0] == "X", fields->values[0] == "Z" || fields->values[0] == "X"};
}

std::optional<std::string> ProcessTable::workingDirectory(std::int32_t pid) {
    auto path = link(pid, "cwd", pathBuffer_);
    if (!path) return std::nullopt;
    return std::string(*path);
}

std::optional<std::string> ProcessTable::flatpakApplication(std::int32_t pid) {
    if (procFd_ < 0 || pid < 1) return std::nullopt;
    auto groups = KernelFile::readOnce(procFd_, ProcessPath(pid, "cgroup").c_str(), groupBuffer_);
    if (!groups) return std::nullopt;
    constexpr std::string_view prefix = "app-flatpak-";
    constexpr std::string_view suffix = ".scope";
    size_t start = groups->find(prefix);
    if (start == std::string_view::npos) return std::nullopt;
    start += prefix.size();
    size_t end = groups->find(suffix, start);
    if (end == std::string_view::npos || groups->substr(start, end - start).find('\n') != std::string_view::npos) return std::nullopt;
    // The id ends before the instance number: "app-flatpak-org.gnome.Calculator-12345.scope".
    size_t dash = groups->rfind('-', end);
    if (dash == std::string_view::npos || dash <= start) return std::nullopt;
    return std::string(groups->substr(start, dash - start));
}

std::optional<Instant> ProcessTable::startTime(std::uint64_t startTicks) const {
    if (!bootTime_) return std::nullopt;
    return Instant::fromUnixSeconds(static_cast<double>(*bootTime_) + static_cast<double>(startTicks) / ticksPerSecond_);
}
