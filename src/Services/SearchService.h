#pragma once

#include <QObject>
#include <QString>

#include "Models/SearchHit.h"
#include "Platform/FileNameIndex.h"
#include "Foundation/BackgroundJobs.h"
#include "Foundation/NewestJob.h"
#include "Models/SearchKind.h"
#include "Services/SearchFindings.h"
#include "Services/SearchServiceError.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <variant>
#include <vector>

// Finds files by name through the machine's file-name index and publishes the findings of the newest
// search: the first files that still exist, largest first, and what the index holds that is gone. Each search screen owns one; it lives and is called on the main thread.
class SearchService : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t maximumHits = 500;

    // What a search runs: the index, where its temporary folder goes, and its time limits.
    struct Setup {
        FileNameIndex index;
        std::filesystem::path temporaryParent;  // empty: the system's temporary folder
        std::chrono::milliseconds timeLimit{12000};
        std::chrono::milliseconds terminateGrace{1000};
    };
    using Outcome = std::variant<SearchFindings, SearchServiceError>;

    explicit SearchService(QObject* parent = nullptr);
    SearchService(Setup setup, QObject* parent = nullptr);
    ~SearchService() override = default;

    // Starts a search and returns at once. A blank text clears the results and runs nothing.
    // Virtual, as are stop() and the setters, so screen tests can stand in for the index.
    virtual void search(const QString& text, const std::optional<std::filesystem::path>& scope, SearchKind kind);
    // Ends the current search: its child process is killed at once and nothing of it is published.
    virtual void stop();

    const std::vector<SearchHit>& results() const { return findings_.hits; }
    const SearchFindings& findings() const { return findings_; }
    bool isSearching() const { return isSearching_; }
    // No search of this service runs any more, also none that a newer search replaced or a stop
    // ended: each has come back and was dropped, so none of them can publish now.
    bool isIdle() const { return jobs_.isIdle(); }
    // For an owner that goes while a search may still run: the service stops its search and deletes
    // itself once every search has come back. A look at a path on a file system that stops answering
    // cannot be cut short, and the owner must not wait on it.
    void deleteWhenIdle();
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    // The index tool's own report of the failure, when it gave one; empty otherwise.
    const QString& errorDetails() const { return errorDetails_; }

    // One search to its end on the calling thread; `text` trimmed and not empty. Never throws. A stop
    // request kills the index's process and gives no findings.
    static Outcome runIndexSearch(const QString& text, const std::optional<std::filesystem::path>& scope,
                                     SearchKind kind, const Setup& setup, std::stop_token stop = {});

signals:
    void resultsChanged();  // the findings, not only their hits
    void isSearchingChanged();
    void errorMessageChanged();  // with its details

protected:
    void setFindings(SearchFindings findings);
    void setSearching(bool searching);
    void setError(std::optional<SearchServiceError> error);

private:

    Setup setup_;
    SearchFindings findings_;
    bool isSearching_ = false;
    std::optional<QString> errorMessage_;
    QString errorDetails_;
    NewestJob searches_;
    std::stop_source searchStop_;
    // Last member: destroyed first, so the running search is stopped and has ended before the rest goes.
    BackgroundJobs jobs_{this};
};
