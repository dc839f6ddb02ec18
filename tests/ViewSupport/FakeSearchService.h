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
            setResults({});
            return;
        }
        calls.push_back({text, scope, kind});
        running_ = calls.size();
        setResults({});
        setSearching(true);
        setErrorMessage(std::nullopt);
    }

    void stop() override {
        ++*stops;
        running_.reset();
        setSearching(false);
    }

    // Ends the search of calls[index]; nothing happens when it is no longer the running one.
    void finish(std::size_t index, std::vector<SearchHit> hits) {
        if (running_ != index + 1) return;
        running_.reset();
        setSearching(false);
        setResults(std::move(hits));
    }
    void fail(std::size_t index, const QString& message) {
        if (running_ != index + 1) return;
        running_.reset();
        setSearching(false);
        setErrorMessage(message);
    }
    void finishLatest(std::vector<SearchHit> hits) { finish(calls.size() - 1, std::move(hits)); }

    std::vector<Call> calls;
    std::shared_ptr<int> stops = std::make_shared<int>(0);  // readable after the service is gone
    int blankSearches = 0;

private:
    std::optional<std::size_t> running_;  // index + 1 of the running call
};
