#include "BenchCommand.h"

#include "Services/SearchService.h"

#include <chrono>
#include <cstdio>

// quarnell-bench search [--database DB] TEXT [SCOPE]: one search through SearchService, as the search
// screen runs it, against the machine's index or the one given.
static int runSearch(const std::vector<std::string>& arguments) {
    SearchService::Setup setup;
    std::size_t next = 0;
    if (arguments.size() >= 2 && arguments[0] == "--database") {
        setup.index.database = arguments[1];
        next = 2;
    }
    if (arguments.size() <= next || arguments.size() > next + 2) {
        std::fprintf(stderr, "usage: quarnell-bench search [--database DB] TEXT [SCOPE]\n");
        return 2;
    }
    std::optional<std::filesystem::path> scope;
    if (arguments.size() == next + 2) scope = arguments[next + 1];

    auto start = std::chrono::steady_clock::now();
    auto outcome = SearchService::runMetadataSearch(QString::fromStdString(arguments[next]), scope, SearchKind::all, setup);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (auto* error = std::get_if<SearchServiceError>(&outcome)) {
        std::fprintf(stderr, "%s\n", error->description().toUtf8().constData());
        return 1;
    }
    std::printf("{\"hits\":%zu,\"seconds\":%.6f}\n", std::get<std::vector<SearchHit>>(outcome).size(), seconds);
    return 0;
}

static const bool registered = registerBenchCommand("search", runSearch);
