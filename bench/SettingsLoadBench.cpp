// quarnell-bench settings-load LINES [RUNS]: writes a settings file of LINES lines as a person might
// (keys in another order than the app writes them, a comment, a group), opens it RUNS times (default
// 5) as the app does at start, and prints the times in milliseconds: the first run, the median and
// the slowest, and whether the file was judged damaged (past the line limit it is).
#include "BenchCommand.h"

#include "Platform/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

int runSettingsLoad(const std::vector<std::string>& arguments) {
    int lines = 0;
    int runs = 5;
    try {
        if (!arguments.empty()) lines = std::stoi(arguments[0]);
        if (arguments.size() > 1) runs = std::stoi(arguments[1]);
    } catch (const std::exception&) {
        lines = 0;
    }
    if (arguments.empty() || arguments.size() > 2 || lines < 1 || runs < 1) {
        std::fprintf(stderr, "usage: quarnell-bench settings-load LINES [RUNS]\n");
        return 2;
    }
    QByteArray text = "; written by hand\n[General]\n";
    for (int i = lines - 3; i > 0; --i) text += "key" + QByteArray::number(i) + "=value number " + QByteArray::number(i) + "\n";
    text += "[window]\nwidth=1320\n";

    std::vector<double> times;
    bool damaged = false;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir folder;
        const QString path = folder.filePath("Quarnell.ini");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return 1;
        file.close();
        SettingsFile settings(path);
        const auto start = std::chrono::steady_clock::now();
        settings.loadKeepingDamageAside();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        damaged = settings.damagedCopy().has_value();
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("{\"command\":\"settings-load\",\"lines\":%d,\"bytes\":%lld,\"runs\":%d,\"firstMs\":%.3f,\"medianMs\":%.3f,\"maxMs\":%.3f,\"damaged\":%s}\n",
                lines, static_cast<long long>(text.size()), runs, first, times[times.size() / 2], times.back(), damaged ? "true" : "false");
    return 0;
}

const bool settingsLoadRegistered = registerBenchCommand("settings-load", runSettingsLoad);

}  // namespace
