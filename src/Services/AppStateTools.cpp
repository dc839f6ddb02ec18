// The tools' operations of AppState: one busy flag, one selection, one message for all of them.
#include "Services/AppState.h"

#include "Platform/SettingsStore.h"
#include "Foundation/Cancelled.h"
#include "Services/DuplicateGroupBuffer.h"
#include "Services/ErrorDescription.h"
#include "Services/ToolMoveMessage.h"

#include <algorithm>
#include <system_error>

namespace {

constexpr std::int64_t forgottenMinimumSize = 10'000'000;

void sortByReclaimableSpace(std::vector<DuplicateGroup>& groups) {
    std::stable_sort(groups.begin(), groups.end(), DuplicateGroup::freesMore);
}

// Every copy but the first of each group whose move frees space; the first is the one the finder
// keeps, and a copy with another name, with no block on disk or with only shared ones, is offered
// unticked. So is every copy of a group that reaches into a backup, or whose kept copy is not clear.
std::set<std::string> copiesThatFreeSpace(const std::vector<DuplicateGroup>& groups) {
    std::set<std::string> paths;
    for (const DuplicateGroup& group : groups)
        for (size_t index = 1; group.ticksCopies() && index < group.files.size(); ++index)
            if (DuplicateGroup::freedBytes(group.files[index]) > 0) paths.insert(group.files[index].path.string());
    return paths;
}

// The paths among `paths` at which nothing is left.
std::set<std::string> gonePaths(const std::vector<std::filesystem::path>& paths) {
    std::set<std::string> gone;
    for (const std::filesystem::path& path : paths) {
        std::error_code error;
        if (std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::not_found) gone.insert(path.string());
    }
    return gone;
}

template <typename Item, typename Location>
bool eraseGone(std::vector<Item>& items, const std::set<std::string>& gone, Location location) {
    const auto before = items.size();
    std::erase_if(items, [&](const Item& item) { return gone.contains(location(item).string()); });
    return items.size() != before;
}

}  // namespace

std::vector<ScannedFile> AppState::selectedDuplicateFiles() const {
    std::vector<ScannedFile> files;
    for (const DuplicateGroup& group : duplicateGroups_)
        for (size_t index = 1; index < group.files.size(); ++index)
            if (selectedToolItems_.contains(group.files[index].path.string())) files.push_back(group.files[index]);
    return files;
}

void AppState::findDuplicates() {
    if (isToolWorking_) return;
    if (!SettingsStore::shared().contains("scanRootBookmark")) {
        chooseScanFolder();
        if (!SettingsStore::shared().contains("scanRootBookmark")) return;
    }
    duplicateStop_.request_stop();
    duplicateStop_ = std::stop_source();
    const NewestJob::Ticket ticket = duplicateSearches_.start();

    setIsToolWorking(true);
    setToolMessage(std::nullopt);
    setDuplicateGroups({});
    setSelectedToolItems({});
    setDidFinishDuplicateScan(false);
    setDuplicatesNotCompared({});
    setDuplicateProgress(DuplicateScanProgress{DuplicateScanPhase::indexing, scanRoot_.string(), 0, std::nullopt, 0, std::nullopt, 0});

    const Path root = scanRoot_;
    const bool includeHidden = includeHiddenFiles_;
    auto buffer = std::make_shared<DuplicateGroupBuffer>();
    jobs_.run(
        duplicateStop_,
        [this, root, includeHidden, ticket, buffer](std::stop_token stop) {
            // Groups wait in the buffer; each progress report drains them, so the list grows in batches.
            auto progress = [this, ticket, buffer](const DuplicateScanProgress& value) {
                jobs_.post([this, ticket, buffer, value] {
                    if (!duplicateSearches_.isNewest(ticket)) return;
                    setDuplicateProgress(value);
                    appendDuplicateGroups(buffer->drain());
                });
            };
            auto foundGroup = [buffer](const DuplicateGroup& group) { buffer->append(group); };
            // The streamed groups are the result: the service's own list is dropped here, off the
            // main thread.
            return std::move(services_.duplicateGroups(root, includeHidden, progress, foundGroup, stop).notCompared);
        },
        [this, ticket, buffer](JobOutcome<std::vector<Path>>& outcome) {
            if (!duplicateSearches_.isNewest(ticket)) return;
            try {
                std::vector<Path> notCompared = std::move(outcome.value());  // rethrows the search's error
                // The groups found since the last report join the list.
                appendDuplicateGroups(buffer->drain());
                setSelectedToolItems(copiesThatFreeSpace(duplicateGroups_));
                setDuplicatesNotCompared(std::move(notCompared));
                setDidFinishDuplicateScan(true);
            } catch (const Cancelled&) {
            } catch (...) {
                setToolMessage(errorDescription(std::current_exception()));
            }
            setIsToolWorking(false);
            setDuplicateProgress(std::nullopt);
        });
}

void AppState::appendDuplicateGroups(std::vector<DuplicateGroup> found) {
    if (found.empty()) return;
    // In place, without copying a group: the new batch sorted on its own, then merged behind the
    // groups that free as much already shown, as one stable sort of the whole list would place it.
    sortByReclaimableSpace(found);
    const auto published = std::ptrdiff_t(duplicateGroups_.size());
    duplicateGroups_.insert(duplicateGroups_.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    std::inplace_merge(duplicateGroups_.begin(), duplicateGroups_.begin() + published, duplicateGroups_.end(),
                       DuplicateGroup::freesMore);
    emit duplicateGroupsChanged();
}

void AppState::cancelDuplicateScan() {
    // Only a running search owns the busy flag; cancelling when none runs leaves another tool's flag alone.
    if (!duplicateProgress_) return;
    duplicateStop_.request_stop();
    duplicateSearches_.supersede();
    setIsToolWorking(false);
    setDuplicateProgress(std::nullopt);
}

void AppState::loadCandidates(CandidateList list) {
    if (isToolWorking_) return;
    const ValueTool tool = list == CandidateList::cleanup ? ValueTool::cleanup : ValueTool::developer;
    loading_ = tool;
    setIsToolWorking(true);
    jobs_.run(
        std::stop_source(),
        [this, list](std::stop_token) { return list == CandidateList::cleanup ? services_.cleanupCandidates() : services_.developerCandidates(); },
        [this, list](JobOutcome<std::vector<CleanupCandidate>>& outcome) {
            try {
                std::vector<CleanupCandidate>& candidates = outcome.value();
                std::set<std::string> safe;
                for (const CleanupCandidate& candidate : candidates)
                    if (candidate.safety == CleanupSafety::safe) safe.insert(candidate.id);
                looked_.insert(list == CandidateList::cleanup ? ValueTool::cleanup : ValueTool::developer);
                if (list == CandidateList::cleanup) setCleanupCandidates(std::move(candidates));
                else setDeveloperCandidates(std::move(candidates));
                setSelectedToolItems(std::move(safe));
            } catch (...) {
                // These lists never fail; should one, the old list stays.
            }
            loading_.reset();
            setIsToolWorking(false);
        });
}

void AppState::loadCleanupCandidates() { loadCandidates(CandidateList::cleanup); }
void AppState::loadDeveloperCandidates() { loadCandidates(CandidateList::developer); }

void AppState::loadStartupItems() {
    if (isToolWorking_) return;
    setIsToolWorking(true);
    queueStartupStep(std::nullopt);
}

void AppState::setStartupItem(const StartupItem& item, bool enabled) { queueStartupStep(StartupSwitch{item, enabled}); }

void AppState::queueStartupStep(std::optional<StartupSwitch> change) {
    startupSteps_.push_back(std::move(change));
    if (!startupStepRunning_) runNextStartupStep();
}

void AppState::runNextStartupStep() {
    startupStepRunning_ = !startupSteps_.empty();
    if (!startupStepRunning_) return;
    std::optional<StartupSwitch> change = std::move(startupSteps_.front());
    startupSteps_.pop_front();
    const bool isLoad = !change;
    jobs_.run(
        std::stop_source(),
        [this, change = std::move(change)](std::stop_token) {
            if (change) services_.setStartupItemEnabled(change->item, change->enabled);
            return services_.startupItems();
        },
        [this, isLoad](JobOutcome<std::vector<StartupItem>>& outcome) {
            try {
                setStartupItems(std::move(outcome.value()));
            } catch (...) {
                // A load never fails; a switch that failed leaves the list as it was.
                if (!isLoad) setToolMessage(errorDescription(std::current_exception()));
            }
            if (isLoad) setIsToolWorking(false);
            runNextStartupStep();
        });
}

void AppState::findForgottenFiles(int olderThanDays) {
    if (isToolWorking_) return;
    setIsToolWorking(true);
    jobs_.run(
        std::stop_source(),
        [this, root = scanRoot_, olderThanDays](std::stop_token stop) { return services_.forgottenFiles(root, olderThanDays, forgottenMinimumSize, stop); },
        [this](JobOutcome<std::vector<ScannedFile>>& outcome) {
            try {
                std::vector<ScannedFile> files = std::move(outcome.value());
                looked_.insert(ValueTool::forgotten);
                setForgottenFiles(std::move(files));
                setSelectedToolItems({});
            } catch (const Cancelled&) {
            } catch (...) {
                setToolMessage(errorDescription(std::current_exception()));
            }
            setIsToolWorking(false);
        });
}

void AppState::trashSelectedCandidates(const std::vector<CleanupCandidate>& candidates) {
    std::vector<TrashRequest> items;
    std::vector<TrashFigures::Item> figures;
    for (const CleanupCandidate& candidate : candidates)
        if (selectedToolItems_.contains(candidate.id)) {
            items.emplace_back(candidate.path, candidate.identity);
            figures.push_back(candidate.trashItem());
        }
    trashToolItems(std::move(items), std::move(figures));
}

void AppState::trashSelectedDuplicateFiles() {
    std::vector<TrashRequest> items;
    std::vector<TrashFigures::Item> figures;
    for (const DuplicateGroup& group : duplicateGroups_) {
        if (group.files.empty()) continue;
        const ScannedFile& kept = group.files.front();
        std::optional<TrashRequest::Kept> keptCopy;
        if (kept.identity) keptCopy = TrashRequest::Kept{kept.path, *kept.identity};
        for (size_t index = 1; index < group.files.size(); ++index)
            if (selectedToolItems_.contains(group.files[index].path.string())) {
                items.emplace_back(group.files[index].path, group.files[index].identity, keptCopy);
                figures.push_back(group.files[index].trashItem());
            }
    }
    trashToolItems(std::move(items), std::move(figures));
}

void AppState::trashSelectedForgottenFiles() {
    std::vector<TrashRequest> items;
    std::vector<TrashFigures::Item> figures;
    for (const ScannedFile& file : forgottenFiles_)
        if (selectedToolItems_.contains(file.path.string())) {
            items.emplace_back(file.path, file.identity);
            figures.push_back(file.trashItem());
        }
    trashToolItems(std::move(items), std::move(figures));
}

void AppState::trashToolItems(std::vector<TrashRequest> items, std::vector<TrashFigures::Item> figures) {
    if (items.empty()) return;
    // Another operation owns the busy flag (a duplicate search still filling its list): clearing the
    // flag at the end of this move would let a second search start beside it.
    if (isToolWorking_) return;
    setIsToolWorking(true);

    struct Moved {
        TrashResult result;
        std::exception_ptr error;    // a stop, or a failure no item accounts for
        std::set<std::string> gone;  // the locations at which nothing is left
    };
    jobs_.run(
        std::stop_source(),
        [this, items = std::move(items), listed = listedToolPaths()](std::stop_token stop) {
            Moved moved;
            try {
                moved.result = services_.moveToTrash(items, stop);
            } catch (...) {
                moved.error = std::current_exception();
            }
            std::vector<Path> paths;
            for (const TrashRequest& item : items) paths.push_back(item.path);
            moved.gone = gonePaths(paths);
            moved.gone.merge(gonePaths(listed));
            return moved;
        },
        [this, figures = std::move(figures)](JobOutcome<Moved>& outcome) {
            Moved& moved = outcome.value();
            // Drop only what really left its place: what the Trash refused is still on disk, and what
            // changed since the search stays listed.
            pruneMovedItems(moved.gone);
            try {
                if (moved.error) std::rethrow_exception(moved.error);
                std::vector<TrashFigures::Item> went;
                for (const std::size_t position : moved.result.moved)
                    if (position < figures.size()) went.push_back(figures[position]);
                setToolMessage(toolMoveMessage(moved.result, TrashFigures::of(went)));
            } catch (const Cancelled&) {
                // A stop is never reported.
            } catch (...) {
                setToolMessage(errorDescription(moved.error));
            }
            if (!moved.error && moved.result.failed.empty()) {
                setSelectedToolItems({});
            } else {
                // What stayed keeps its tick, to be tried again or looked at.
                std::set<std::string> remaining = selectedToolItems_;
                for (const std::string& path : moved.gone) remaining.erase(path);
                setSelectedToolItems(std::move(remaining));
            }
            setIsToolWorking(false);
        });
}

std::vector<AppState::Path> AppState::listedToolPaths() const {
    std::vector<Path> paths;
    for (const DuplicateGroup& group : duplicateGroups_)
        for (const ScannedFile& file : group.files) paths.push_back(file.path);
    for (const ScannedFile& file : forgottenFiles_) paths.push_back(file.path);
    for (const CleanupCandidate& candidate : cleanupCandidates_) paths.push_back(candidate.path);
    for (const CleanupCandidate& candidate : developerCandidates_) paths.push_back(candidate.path);
    return paths;
}

void AppState::pruneToolListsByExistence() {
    jobs_.run(
        std::stop_source(), [listed = listedToolPaths()](std::stop_token) { return gonePaths(listed); },
        [this](JobOutcome<std::set<std::string>>& outcome) {
            const std::set<std::string>& gone = outcome.value();
            pruneMovedItems(gone);
            std::set<std::string> remaining = selectedToolItems_;
            for (const std::string& path : gone) remaining.erase(path);
            setSelectedToolItems(std::move(remaining));
        });
}

void AppState::pruneMovedItems(const std::set<std::string>& gone) {
    if (gone.empty()) return;
    std::vector<DuplicateGroup> groups = duplicateGroups_;
    bool groupsChanged = false;
    for (DuplicateGroup& group : groups) groupsChanged |= eraseGone(group.files, gone, [](const ScannedFile& file) { return file.path; });
    groupsChanged |= std::erase_if(groups, [](const DuplicateGroup& group) { return group.files.size() < 2; }) > 0;
    if (groupsChanged) setDuplicateGroups(std::move(groups));

    std::vector<ScannedFile> forgotten = forgottenFiles_;
    if (eraseGone(forgotten, gone, [](const ScannedFile& file) { return file.path; })) setForgottenFiles(std::move(forgotten));
    std::vector<CleanupCandidate> cleanup = cleanupCandidates_;
    if (eraseGone(cleanup, gone, [](const CleanupCandidate& candidate) { return candidate.path; })) setCleanupCandidates(std::move(cleanup));
    std::vector<CleanupCandidate> developer = developerCandidates_;
    if (eraseGone(developer, gone, [](const CleanupCandidate& candidate) { return candidate.path; })) setDeveloperCandidates(std::move(developer));
}
