#include "Services/SearchService.h"

#include "Models/AppLocalization.h"
#include "Foundation/AllocatedBytes.h"
#include "Platform/ContentTypeExtensions.h"
#include "Platform/FileContents.h"
#include "Foundation/FileDescriptor.h"
#include "Platform/KindDescriptions.h"
#include "Foundation/Uuid.h"
#include "Platform/ProcessRunner.h"
#include "Platform/Utf8CharacterType.h"

#include <QMimeDatabase>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

QString indexUnavailable() {
    return AppLocalization::string("search.indexUnavailable");
}

// The temporary folder of one search: readable by the user only, since it holds the paths that
// matched, and removed with its files however the search ends.
class SearchFolder {
public:
    explicit SearchFolder(const std::filesystem::path& parent)
        : path_(parent / ("QuarnellSearch-" + Uuid::random().text())) {
        if (::mkdir(path_.c_str(), 0700) != 0)
            throw std::system_error(errno, std::generic_category(), "Could not create " + path_.string());
    }
    ~SearchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    SearchFolder(const SearchFolder&) = delete;
    SearchFolder& operator=(const SearchFolder&) = delete;

    std::filesystem::path file(const char* name) const { return path_ / name; }

    FileDescriptor create(const char* name) const {
        FileDescriptor fd(::open(file(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.isOpen()) throw std::system_error(errno, std::generic_category(), "Could not create " + file(name).string());
        return fd;
    }

private:
    std::filesystem::path path_;
};

// Paths in the index are real paths, so the scope is compared in its real form, as a folder prefix.
std::string scopePrefix(const std::filesystem::path& scope) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(scope, error);
    std::string prefix = (error ? scope : real).native();
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix != "/") prefix += '/';
    return prefix;
}

std::string_view fileName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

class HitBuilder {
public:
    // No hit when the path cannot be looked at; `gone` tells whether that is because nothing is there
    // any more. lstat's view, never an open: a FIFO or a device is described, never read, and a
    // symbolic link is described as itself.
    std::optional<SearchHit> hit(const std::string& path, bool& gone) {
        struct statx status {};
        gone = false;
        if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
                    STATX_TYPE | STATX_SIZE | STATX_BLOCKS | STATX_MTIME, &status) != 0) {
            gone = errno == ENOENT || errno == ENOTDIR;
            return std::nullopt;
        }
        SearchHit hit;
        hit.path = path;
        if (status.stx_mask & STATX_BLOCKS)
            hit.size = allocatedBytes(status.stx_blocks);
        else if (status.stx_mask & STATX_SIZE)
            hit.size = static_cast<std::int64_t>(status.stx_size);
        if (status.stx_mask & STATX_MTIME)
            hit.modifiedAt = Instant::fromTimespec(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec);
        hit.kind = S_ISDIR(status.stx_mode) ? folderKind() : kinds_.kind(hit.path);
        return hit;
    }

private:
    const QString& folderKind() {
        if (!folderKind_) folderKind_ = QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
        return *folderKind_;
    }

    KindDescriptions kinds_;
    std::optional<QString> folderKind_;
};

// Takes the paths the index prints, NUL-separated and as they stream in. A path in the scope and of
// the kind is looked at as it comes: a file still there becomes a hit, one that is gone is counted,
// so the hits are the first files that exist, however many the index lists that do not any more.
// Printed paths are bytes, checked one by one; none has to be UTF-8.
class PrintedPaths {
public:
    PrintedPaths(std::optional<std::string> prefix, const ContentTypeExtensions* kind) : prefix_(std::move(prefix)), kind_(kind) {}

    // False once the maximum is kept and one more existing file has matched: the index need print
    // no more.
    bool take(std::string_view piece) {
        while (!findings_.hasMore) {
            const std::size_t end = piece.find('\0');
            if (end == std::string_view::npos) {
                pending_.append(piece);
                return true;
            }
            pending_.append(piece.substr(0, end));
            piece.remove_prefix(end + 1);
            keepPending();
        }
        return false;
    }

    // With the last path, when the output did not end with a separator; the hits largest first.
    SearchFindings finish() {
        if (!findings_.hasMore) keepPending();
        std::stable_sort(findings_.hits.begin(), findings_.hits.end(), [](const SearchHit& a, const SearchHit& b) { return a.size > b.size; });
        return std::move(findings_);
    }

private:
    void keepPending() {
        if (!pending_.empty() && (!prefix_ || pending_.starts_with(*prefix_)) && (!kind_ || kind_->matches(fileName(pending_)))) {
            bool gone = false;
            if (auto hit = builder_.hit(pending_, gone)) {
                if (findings_.hits.size() < SearchService::maximumHits)
                    findings_.hits.push_back(std::move(*hit));
                else
                    findings_.hasMore = true;
            } else if (gone) {
                ++findings_.goneCount;
            }
        }
        pending_.clear();
    }

    std::optional<std::string> prefix_;
    const ContentTypeExtensions* kind_;
    std::string pending_;
    HitBuilder builder_;
    SearchFindings findings_;
};

SearchService::Outcome runSearch(const QString& text, const std::optional<std::filesystem::path>& scope, SearchKind kind,
                                 const SearchService::Setup& setup, std::stop_token stop) {
    // A machine where updatedb never ran has no index: say how to make one.
    if (!setup.index.exists()) return SearchServiceError::queryFailed(AppLocalization::string("search.indexMissing"));
    const std::optional<Instant> indexUpdatedAt = setup.index.updatedAt();
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (bytes.find('\0') != std::string_view::npos) return SearchFindings{.hits = {}, .hasMore = false, .goneCount = 0, .indexUpdatedAt = indexUpdatedAt};  // no name holds one

    // plocate matches the name; scope, kind and existence are checked on its output as it streams,
    // and plocate is ended once enough files are kept.
    std::optional<std::string> prefix;
    if (scope) prefix = scopePrefix(*scope);
    const ContentTypeExtensions* kindExtensions = nullptr;
    if (kind != SearchKind::all) kindExtensions = &ContentTypeExtensions::forType(contentTypeFilter(kind));

    SearchFolder folder(setup.temporaryParent.empty() ? std::filesystem::temp_directory_path() : setup.temporaryParent);
    PrintedPaths printed(prefix, kindExtensions);
    ProcessRunner::Result run;
    {
        // The raw output read is kept in results.txt, as the folder documents the search.
        FileDescriptor results = folder.create("results.txt");
        FileDescriptor errors = folder.create("errors.txt");
        ProcessRunner::Options options;
        options.limits.deadline = setup.timeLimit;
        options.limits.terminateGrace = setup.terminateGrace;
        options.errorFile = errors.get();
        options.stop = stop;
        options.environment = Utf8CharacterType::forChild();
        options.onOutput = [&](std::string_view piece) {
            FileContents::writeAll(results.get(), piece);
            return printed.take(piece);
        };
        run = ProcessRunner::run(setup.index.program, setup.index.arguments(bytes), options);
    }
    if (run.stopped) return SearchFindings{};
    if (run.timedOut || !run.ended) return SearchServiceError::queryFailed(indexUnavailable());
    if (!run.readEnough && (!run.exitedNormally() || run.exitStatus != 0)) {
        const std::optional<std::string> errorText = FileContents::read(folder.file("errors.txt"), 1u << 20);
        // plocate's way of saying that nothing matched.
        if (run.exitedNormally() && run.exitStatus == 1 && errorText && errorText->empty())
            return SearchFindings{.hits = {}, .hasMore = false, .goneCount = 0, .indexUpdatedAt = indexUpdatedAt};
        // Otherwise plocate could not read its index: a short or corrupt file, or one it may not open.
        // Its own words, whatever their bytes, go beneath ours.
        return SearchServiceError::queryFailed(AppLocalization::string("search.indexDamaged"),
                                               errorText ? QString::fromUtf8(*errorText).trimmed() : QString());
    }
    SearchFindings findings = printed.finish();
    findings.indexUpdatedAt = indexUpdatedAt;
    return findings;
}

}  // namespace

SearchService::SearchService(QObject* parent) : SearchService(Setup{}, parent) {}

SearchService::SearchService(Setup setup, QObject* parent) : QObject(parent), setup_(std::move(setup)) {}

SearchService::Outcome SearchService::runIndexSearch(const QString& text, const std::optional<std::filesystem::path>& scope,
                                                        SearchKind kind, const Setup& setup, std::stop_token stop) {
    try {
        return runSearch(text, scope, kind, setup, stop);
    } catch (const std::exception& error) {
        return SearchServiceError::queryFailed(QString::fromUtf8(error.what()));
    }
}

void SearchService::search(const QString& text, const std::optional<std::filesystem::path>& scope, SearchKind kind) {
    stop();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        setFindings({});
        return;
    }
    const NewestJob::Ticket ticket = searches_.start();
    searchStop_ = std::stop_source();
    setFindings({});
    setSearching(true);
    setError(std::nullopt);

    jobs_.run(
        searchStop_,
        [trimmed, scope, kind, setup = setup_](std::stop_token stop) { return runIndexSearch(trimmed, scope, kind, setup, stop); },
        [this, ticket](JobOutcome<Outcome>& finished) {
            if (!searches_.isNewest(ticket)) return;
            setSearching(false);
            Outcome& outcome = finished.value();
            if (auto* findings = std::get_if<SearchFindings>(&outcome))
                setFindings(std::move(*findings));
            else
                setError(std::get<SearchServiceError>(std::move(outcome)));
        });
}

void SearchService::deleteWhenIdle() {
    stop();
    if (jobs_.isIdle()) {
        deleteLater();
        return;
    }
    auto* check = new QTimer(this);
    connect(check, &QTimer::timeout, this, [this] {
        if (jobs_.isIdle()) deleteLater();
    });
    check->start(200);
}

void SearchService::stop() {
    searchStop_.request_stop();
    searches_.supersede();
    setSearching(false);
}

void SearchService::setFindings(SearchFindings findings) {
    if (findings == findings_) return;
    findings_ = std::move(findings);
    emit resultsChanged();
}

void SearchService::setSearching(bool searching) {
    if (searching == isSearching_) return;
    isSearching_ = searching;
    emit isSearchingChanged();
}

void SearchService::setError(std::optional<SearchServiceError> error) {
    std::optional<QString> message;
    QString details;
    if (error) {
        message = std::move(error->text);
        details = std::move(error->details);
    }
    if (message == errorMessage_ && details == errorDetails_) return;
    errorMessage_ = std::move(message);
    errorDetails_ = std::move(details);
    emit errorMessageChanged();
}
