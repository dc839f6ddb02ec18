// quarnell-bench uninstaller [RUNS [ROOT]]: lists the applications RUNS times (default 20), then finds
// every listed application's leftovers RUNS times, and prints the times in milliseconds: the first
// (cold) run, the median and the slowest, for the list and per application. This machine's, or those
// of a generated tree laid out like a machine under ROOT (ROOT/home, ROOT/usr/share, ROOT/var/lib/dpkg).
#include "BenchCommand.h"

#include "Platform/SystemRoots.h"
#include "Services/UninstallerService.h"

#include <QJsonDocument>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

double millisecondsOf(const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int runUninstaller(const std::vector<std::string>& arguments) {
    int runs = 20;
    try {
        if (!arguments.empty()) runs = std::stoi(arguments[0]);
    } catch (const std::exception&) {
        runs = 0;
    }
    if (arguments.size() > 2 || runs < 1) {
        std::fprintf(stderr, "usage: quarnell-bench uninstaller [RUNS [ROOT]]\n");
        return 2;
    }
    if (arguments.size() == 2) SystemRoots::install(SystemRoots::fixture(arguments[1]));
    UninstallerService service;
    std::vector<InstalledApplication> applications;
    std::vector<double> listing;
    for (int i = 0; i < runs; ++i) listing.push_back(millisecondsOf([&] { applications = service.installedApplications(); }));
    std::printf("{\"command\":\"uninstaller\",\"step\":\"list\",\"applications\":%zu,\"runs\":%d,\"firstMs\":%.3f,\"medianMs\":%.3f,\"maxMs\":%.3f}\n",
                applications.size(), runs, listing.front(), median(listing), *std::max_element(listing.begin(), listing.end()));

    // Per application: the median of its runs; then over all applications the median and the slowest.
    std::vector<double> perApplication;
    double slowest = 0;
    std::string slowestName;
    std::size_t mostLeftovers = 0;
    for (const InstalledApplication& application : applications) {
        std::vector<double> times;
        std::size_t found = 0;
        for (int i = 0; i < runs; ++i) times.push_back(millisecondsOf([&] { found = service.artifacts(application).size(); }));
        const double typical = median(times);
        perApplication.push_back(typical);
        mostLeftovers = std::max(mostLeftovers, found);
        if (typical > slowest) {
            slowest = typical;
            // A JSON string, quotes and all: names may hold quotes.
            slowestName = QJsonDocument::fromVariant(QVariantList{application.name}).toJson(QJsonDocument::Compact).mid(1).chopped(1).toStdString();
        }
    }
    std::printf("{\"command\":\"uninstaller\",\"step\":\"leftovers\",\"applications\":%zu,\"runs\":%d,\"medianMs\":%.3f,\"slowestMs\":%.3f,"
                "\"slowestApplication\":%s,\"mostLeftovers\":%zu}\n",
                applications.size(), runs, median(perApplication), slowest, slowestName.c_str(), mostLeftovers);
    return 0;
}

const bool uninstallerRegistered = registerBenchCommand("uninstaller", runUninstaller);

}  // namespace
