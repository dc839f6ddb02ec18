// How late the main thread gets while a real duplicate search streams its groups into the tools
// screen: quarnell-tools-bench TREE. Builds TREE (40,000 files: 12,000 pairs of equal files and 16,000
// unique ones, 2-8 KiB each) when it does not exist, starts the search with the screen's own button
// and reports the largest lateness of a 5 ms timer while the search runs (and, for the machine's own
// load, while nothing runs), and the main thread's own processor time between two ticks.
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Tools/DuplicateFinderView.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/ToolsView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <time.h>
#include <vector>

namespace {

void buildTree(const std::filesystem::path& root) {
    std::mt19937_64 random(20261207);
    auto content = [&](std::size_t length) {
        std::string bytes(length, '\0');
        for (char& byte : bytes) byte = char(random());
        return bytes;
    };
    int counter = 0;
    auto place = [&](const std::string& data) {
        const std::filesystem::path folder = root / ("d" + std::to_string(counter % 200)) / ("s" + std::to_string(counter % 7));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / ("f" + std::to_string(counter++))) << data;
    };
    for (int pair = 0; pair < 12'000; ++pair) {
        const std::string data = content(2048 + random() % 6144);
        place(data);
        place(data);
    }
    for (int unique = 0; unique < 16'000; ++unique) place(content(2048 + random() % 6144));
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Times the processor work of every event the main thread delivers and keeps the slowest, to name
// what held it.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        const double start = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = threadCpuMs() - start;
        if (ms > slowest) {
            slowest = ms;
            slowestWhat = QString("%1 event %2").arg(receiver->metaObject()->className()).arg(int(event->type()));
        }
        return handled;
    }
    double slowest = 0;
    QString slowestWhat;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quarnell-tools-bench TREE\n");
        return 2;
    }
    TimedApplication app(argc, argv);
    QTemporaryDir settingsDir;
    SettingsStore::shared().useFile(settingsDir.filePath("settings.conf"));
    Appearance::shared().install();
    const std::filesystem::path tree = std::filesystem::absolute(argv[1]);
    if (!std::filesystem::exists(tree)) buildTree(tree);

    AppServices services = AppServices::live();
    services.chooseFolder = [](const std::filesystem::path&) { return std::optional<std::filesystem::path>(); };
    AppState state(std::move(services));
    state.setScanRoot(tree);
    SettingsStore::shared().setValue("scanRootBookmark", QByteArray("chosen"));  // a chosen folder: no panel

    ToolsView view(state);
    view.resize(1320, 880);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) return 1;
    auto* scan = view.findChild<StyledButton*>("duplicatesScan");
    if (!scan) return 1;

    // A 5 ms timer: how much later than asked each tick arrives is how long the thread was busy.
    // The thread's own processor time between ticks tells its work apart from waiting for a processor
    // on a loaded machine.
    std::vector<double> lateness, busy;
    int publications = 0;
    QObject::connect(&state, &AppState::duplicateGroupsChanged, [&] { ++publications; });
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    qint64 last = 0;
    double lastCpu = threadCpuMs();
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double cpu = threadCpuMs();
        lateness.push_back(std::max(0.0, (now - last) / 1e6 - 5.0));
        busy.push_back(cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });
    clock.start();
    ticker.start();
    // The same timer with nothing to do first: how late a tick comes on this machine's load alone.
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 1500) app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::vector<double> idleLateness = lateness;
    std::sort(idleLateness.begin(), idleLateness.end());
    lateness.clear();
    busy.clear();
    app.slowest = 0;
    QTest::mouseClick(scan, Qt::LeftButton);
    QElapsedTimer search;
    search.start();
    while (state.isToolWorking()) app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = search.elapsed() / 1000.0;
    ticker.stop();
    if (lateness.empty()) return 1;
    std::sort(lateness.begin(), lateness.end());
    std::sort(busy.begin(), busy.end());
    const auto* finder = qobject_cast<DuplicateFinderView*>(view.detail());
    std::printf("search %.2f s, %zu groups, %d list publications, %zu rows built\n", seconds, state.duplicateGroups().size(), publications,
                finder ? finder->rows()->builtCount() : 0);
    if (!idleLateness.empty())
        std::printf("idle timer lateness (no search): max %.1f ms, p99 %.1f ms over %zu ticks\n", idleLateness.back(),
                    idleLateness[std::size_t(double(idleLateness.size() - 1) * 0.99)], idleLateness.size());
    std::printf("timer lateness: max %.1f ms, p99 %.1f ms, median %.1f ms over %zu ticks\n", lateness.back(),
                lateness[std::size_t(double(lateness.size() - 1) * 0.99)], lateness[lateness.size() / 2], lateness.size());
    std::printf("slowest event (main thread processor time): %.1f ms (%s)\n", app.slowest, qPrintable(app.slowestWhat));
    std::printf("main thread's own work between ticks: max %.1f ms, p99 %.1f ms\n", busy.back(), busy[std::size_t(double(busy.size() - 1) * 0.99)]);
    return 0;
}
