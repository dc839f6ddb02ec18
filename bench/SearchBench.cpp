#include "BenchCommand.h"

#include "Services/SearchService.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

// quarnell-bench search [--database DB] [--repeat N] TEXT [SCOPE]: searches through SearchService, as
// the search screen runs them, against the machine's index or the one given. With --repeat the same
// search runs N times in this one process, so the process's own start is paid once and the per-search
// cost can be told from it; "seconds" is then the mean of one search, "first" the first one alone.
static int runSearch(const std::vector<std::string>& arguments) {
    SearchService::Setup setup;
    long repeat = 1;
    std::size_t next = 0;
    while (arguments.size() >= next + 2 && (arguments[next] == "--database" || arguments[next] == "--repeat")) {
        if (arguments[next] == "--database") {
            setup.index.database = arguments[next + 1];
        } else {
            char* end = nullptr;
            repeat = std::strtol(arguments[next + 1].c_str(), &end, 10);
            if (*end != '\0' || repeat < 1) repeat = 0;
        }
        next += 2;
    }
    if (repeat < 1 || arguments.size() <= next || arguments.size() > next + 2) {
        std::fprintf(stderr, "usage: quarnell-bench search [--database DB] [--repeat N] TEXT [SCOPE]\n");
        return 2;
    }
    std::optional<std::filesystem::path> scope;
    if (arguments.size() == next + 2) scope = arguments[next + 1];
    const QString text = QString::fromStdString(arguments[next]);

    using Clock = std::chrono::steady_clock;
    std::size_t hits = 0;
    double first = 0;
    const auto start = Clock::now();
    for (long run = 0; run < repeat; ++run) {
        auto outcome = SearchService::runIndexSearch(text, scope, SearchKind::all, setup);
        if (auto* error = std::get_if<SearchServiceError>(&outcome)) {
            std::fprintf(stderr, "%s\n", error->description().toUtf8().constData());
            return 1;
        }
        hits = std::get<SearchFindings>(outcome).hits.size();
        if (run == 0) first = std::chrono::duration<double>(Clock::now() - start).count();
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    if (repeat == 1)
        std::printf("{\"hits\":%zu,\"seconds\":%.6f}\n", hits, total);
    else
        std::printf("{\"hits\":%zu,\"repeat\":%ld,\"seconds\":%.6f,\"first\":%.6f}\n", hits, repeat, total / repeat, first);
    return 0;
}

static const bool searchRegistered = registerBenchCommand("search", runSearch);
