#pragma once

#include "Services/SearchService.h"

#include <memory>
#include <optional>
#include <vector>

// A search service that runs nothing: it records what the screen asks and publishes what the test
// answers, following the real service's rules (a new search or a stop makes the running one stale).
class FakeSearchService : public SearchService {
public:
    struct Call {
        QString text;
        std::optional<std::filesystem::path> scope;
        SearchKind kind;
    };

    void search(const QString& text, const std::optional<std::filesystem::path>& scope, SearchKind kind) override {
        stop();
        if (text.trimmed().isEmpty()) {
            blankSearches++;
            setFindings({});
            return;
        }
        calls.push_back({text, scope, kind});
        running_ = calls.size();
        setFindings({});
        setSearching(true);
        setError(std::nullopt);
    }

    void stop() override {
        ++*stops;
        running_.reset();
        setSearching(false);
    }

    // Ends the search of calls[index]; nothing happens when it is no longer the running one.
    void finish(std::size_t index, std::vector<SearchHit> hits) {
        SearchFindings findings;
        findings.hits = std::move(hits);
        finishWith(index, std::move(findings));
    }
    void finishWith(std::size_t index, SearchFindings findings) {
        if (running_ != index + 1) return;
        running_.reset();
        setSearching(false);
        setFindings(std::move(findings));
    }
    void fail(std::size_t index, const QString& message, const QString& details = {}) {
        if (running_ != index + 1) return;
        running_.reset();
        setSearching(false);
        setError(SearchServiceError::queryFailed(message, details));
    }
    void finishLatest(std::vector<SearchHit> hits) { finish(calls.size() - 1, std::move(hits)); }
    void finishLatestWith(SearchFindings findings) { finishWith(calls.size() - 1, std::move(findings)); }

    std::vector<Call> calls;
    std::shared_ptr<int> stops = std::make_shared<int>(0);  // readable after the service is gone
    int blankSearches = 0;

private:
    std::optional<std::size_t> running_;  // index + 1 of the running call
};
