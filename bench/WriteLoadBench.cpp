// quarnell-bench write-load KIND FOLDER SECONDS [THREADS] [linger]: writes into files under FOLDER for
// SECONDS the way one kind of program does, and prints the bytes it handed to write(). With `linger`
// it then waits to be killed, so that what it wrote is all seen before it ends.
//   batches  batches of 4 short-lived threads, each writing 8 MiB to a file of its own and syncing it
//   steady   one thread writing 1 MiB every 50 ms
//   crowd    THREADS threads (default 1000), each adding 4 KiB to a shared file about once a second
// The driver copies the program under a name of its own, so that its row in the monitor is its alone.
#include "BenchCommand.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool writeAll(int fd, const std::string& block) {
    for (size_t done = 0; done < block.size();) {
        ssize_t wrote = ::write(fd, block.data() + done, block.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// One file written from its start, synced and closed; the bytes handed to write().
std::uint64_t writeFile(const std::filesystem::path& file, size_t blocks, const std::string& block) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    std::uint64_t written = 0;
    for (size_t index = 0; index < blocks && writeAll(fd, block); ++index) written += block.size();
    ::fdatasync(fd);
    ::close(fd);
    return written;
}

std::uint64_t batches(const std::filesystem::path& folder, Clock::time_point end) {
    const std::string block(1 << 20, 'b');
    std::uint64_t written = 0;
    while (Clock::now() < end) {
        std::atomic<std::uint64_t> batch{0};
        std::vector<std::thread> threads;
        for (int index = 0; index < 4; ++index)
            threads.emplace_back([&, index] { batch += writeFile(folder / ("batch-" + std::to_string(index)), 8, block); });
        for (std::thread& thread : threads) thread.join();
        written += batch;
    }
    return written;
}

std::uint64_t steady(const std::filesystem::path& folder, Clock::time_point end) {
    int fd = ::open((folder / "steady").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    const std::string block(1 << 20, 's');
    std::uint64_t written = 0;
    for (auto next = Clock::now(); next < end; next += std::chrono::milliseconds(50)) {
        std::this_thread::sleep_until(next);
        if (!writeAll(fd, block)) break;
        written += block.size();
        // Emptied every 64 MiB to keep the folder small; what comes after is written anew all the same.
        if (written % (64u << 20) == 0) ::ftruncate(fd, 0);
    }
    ::close(fd);
    return written;
}

std::uint64_t crowd(const std::filesystem::path& folder, Clock::time_point end, int threadCount) {
    int fd = ::open((folder / "crowd").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    const std::string page(4096, 'c');
    std::atomic<std::uint64_t> written{0};
    std::vector<std::thread> threads;
    for (int index = 0; index < threadCount; ++index) {
        threads.emplace_back([&, index] {
            auto next = Clock::now() + std::chrono::milliseconds(1000 * index / threadCount);
            while (next < end) {
                std::this_thread::sleep_until(next);
                if (writeAll(fd, page)) written += page.size();
                next += std::chrono::seconds(1);
            }
        });
    }
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::seconds(10));
        ::ftruncate(fd, 0);
    }
    for (std::thread& thread : threads) thread.join();
    ::close(fd);
    return written;
}

int runWriteLoad(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    const bool linger = !arguments.empty() && arguments.back() == "linger";
    if (linger) arguments.pop_back();
    double seconds = -1;
    int threads = 1000;
    try {
        if (arguments.size() >= 3) seconds = std::stod(arguments[2]);
        if (arguments.size() == 4) threads = std::stoi(arguments[3]);
    } catch (const std::exception&) {
        seconds = -1;
    }
    const std::string kind = arguments.empty() ? "" : arguments[0];
    if (arguments.size() < 3 || arguments.size() > 4 || !(seconds > 0) || threads < 1 ||
        (kind != "batches" && kind != "steady" && kind != "crowd")) {
        std::fprintf(stderr, "usage: quarnell-bench write-load batches|steady|crowd FOLDER SECONDS [THREADS] [linger]\n");
        return 2;
    }
    const std::filesystem::path folder = arguments[1];
    const auto start = Clock::now();
    const auto end = start + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    std::uint64_t written = kind == "batches" ? batches(folder, end) : kind == "steady" ? steady(folder, end) : crowd(folder, end, threads);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("{\"command\":\"write-load\",\"kind\":\"%s\",\"seconds\":%.3f,\"bytesWritten\":%llu,\"megabytesPerSecond\":%.2f}\n",
                kind.c_str(), took, static_cast<unsigned long long>(written), static_cast<double>(written) / 1e6 / took);
    std::fflush(stdout);
    while (linger) ::pause();
    return 0;
}

const bool writeLoadRegistered = registerBenchCommand("write-load", runWriteLoad);

}  // namespace
