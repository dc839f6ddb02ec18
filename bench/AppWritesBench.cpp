// quarnell-bench app-writes SECONDS ROOT ROW...: runs the per-application pass over this machine's
// processes every 2 s for SECONDS and sets what it shows the rows ROW... writing (each pass's rate
// times its interval) against what the kernel counted for process ROOT and its descendants over the
// same passes: ROOT's own write count, which holds its ended threads and reaped children, plus the
// counts of its descendants still there, ended ones waiting to be reaped included.
#include "BenchCommand.h"

#include "Services/AppUsageSampler.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::uint64_t writeBytes(const std::filesystem::path& io) {
    std::ifstream file(io);
    std::string key;
    std::uint64_t value = 0;
    while (file >> key >> value)
        if (key == "write_bytes:") return value;
    return 0;
}

// The kernel's write count of `root` and every live or unreaped process below it.
std::uint64_t treeWrites(int root) {
    std::map<int, int> parents;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        size_t close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(text.substr(close + 2));
        std::string state;
        int parent = 0;
        fields >> state >> parent;
        parents[std::stoi(name)] = parent;
    }
    std::set<int> tree{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [pid, parent] : parents)
            if (tree.count(parent) && tree.insert(pid).second) grew = true;
    }
    std::uint64_t written = 0;
    for (int pid : tree) written += writeBytes("/proc/" + std::to_string(pid) + "/io");
    return written;
}

int runAppWrites(const std::vector<std::string>& arguments) {
    double seconds = -1;
    int root = 0;
    try {
        if (arguments.size() >= 3) {
            seconds = std::stod(arguments[0]);
            root = std::stoi(arguments[1]);
        }
    } catch (const std::exception&) {
        seconds = -1;
    }
    if (arguments.size() < 3 || !(seconds >= 2) || root < 1) {
        std::fprintf(stderr, "usage: quarnell-bench app-writes SECONDS ROOT ROW...\n");
        return 2;
    }
    const std::set<std::string> rows(arguments.begin() + 2, arguments.end());
    using Clock = std::chrono::steady_clock;
    AppUsageSampler sampler(SystemRoots::machine());
    const auto start = Clock::now();
    const Instant startInstant = Instant::now();
    double passedAt = 0;  // seconds after the start that the latest pass was told it is
    auto passAt = [&](double offset) {
        std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(offset)));
        passedAt = std::chrono::duration<double>(Clock::now() - start).count();
        return sampler.sampleApps(startInstant.addingSeconds(passedAt), 1);
    };
    if (!passAt(0)) return 1;
    std::uint64_t treeBefore = treeWrites(root);
    const std::uint64_t treeStart = treeBefore;
    double shown = 0;
    std::map<std::string, double> shownByRow;
    std::string shownByPass;
    std::string writtenByPass;
    for (double offset = 2; offset <= seconds + 1e-9; offset += 2) {
        const double before = passedAt;
        auto pass = passAt(offset);
        const std::uint64_t tree = treeWrites(root);
        if (!pass) return 1;
        // The pass measured over its interval, at least half a second.
        const double interval = std::max(passedAt - before, 0.5);
        double rate = 0;
        for (const AppUsage& app : pass->apps) {
            if (!rows.count(app.id)) continue;
            rate += static_cast<double>(app.diskWritePerSecond);
            shownByRow[app.id] += static_cast<double>(app.diskWritePerSecond) * interval;
        }
        shown += rate * interval;
        char figure[64];
        std::snprintf(figure, sizeof figure, "%s%.1f", shownByPass.empty() ? "" : ",", rate / 1e6);
        shownByPass += figure;
        std::snprintf(figure, sizeof figure, "%s%.1f", writtenByPass.empty() ? "" : ",",
                      static_cast<double>(tree >= treeBefore ? tree - treeBefore : 0) / 1e6 / 2);
        writtenByPass += figure;
        treeBefore = tree;
    }
    const double written = static_cast<double>(treeBefore >= treeStart ? treeBefore - treeStart : 0);
    std::string byRow;
    for (const std::string& row : rows) {
        char figure[300];
        std::snprintf(figure, sizeof figure, "%s\"%s\":%.0f", byRow.empty() ? "" : ",", row.c_str(), shownByRow[row]);
        byRow += figure;
    }
    std::printf("{\"command\":\"app-writes\",\"seconds\":%.3f,\"writtenBytes\":%.0f,\"shownBytes\":%.0f,\"percentShown\":%.2f,"
                "\"shownBytesByRow\":{%s},\"shownMBPerSecondByPass\":[%s],\"writtenMBPerSecondByPass\":[%s]}\n",
                passedAt, written, shown, written > 0 ? 100 * shown / written : 0.0, byRow.c_str(), shownByPass.c_str(),
                writtenByPass.c_str());
    return 0;
}

const bool appWritesRegistered = registerBenchCommand("app-writes", runAppWrites);

}  // namespace
