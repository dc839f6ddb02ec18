// quarnell-bench monitor SECONDS: runs the system monitor's sampling on this machine for SECONDS of
// wall time and prints the processor time it used, per second and per sample.
#include "BenchCommand.h"
#include "ProcessorTime.h"

#include "Services/SystemMonitor.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int runMonitor(const std::vector<std::string>& arguments) {
    double seconds = 60;
    try {
        if (!arguments.empty()) seconds = std::stod(arguments[0]);
    } catch (const std::exception&) {
        seconds = -1;
    }
    if (arguments.size() > 1 || !(seconds > 0)) {
        std::fprintf(stderr, "usage: quarnell-bench monitor SECONDS\n");
        return 2;
    }
    auto wallStart = std::chrono::steady_clock::now();
    double processorStart = processorSeconds();
    {
        SystemMonitor monitor;
        monitor.start();
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(static_cast<long long>(seconds * 1000)), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        double used = processorSeconds() - processorStart;
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        long long samples = monitor.tick();
        int processes = 0;
        for (const AppUsage& app : monitor.apps()) processes += app.processCount;
        std::printf("{\"command\":\"monitor\",\"seconds\":%.3f,\"samples\":%lld,\"processes\":%d,\"projects\":%zu,"
                    "\"cpuSeconds\":%.6f,\"cpuPercentOfOneCore\":%.4f,\"cpuMillisecondsPerSample\":%.4f}\n",
                    wall, samples, processes, monitor.projects().size(), used, 100 * used / wall,
                    samples > 0 ? 1000 * used / static_cast<double>(samples) : 0.0);
    }
    return 0;
}

const bool monitorRegistered = registerBenchCommand("monitor", runMonitor);

}  // namespace
