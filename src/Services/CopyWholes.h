#pragma once

#include "Foundation/FolderAnswers.h"
#include "Models/UntickedReason.h"
#include "Models/WholeKind.h"
#include "Platform/DirectoryEntry.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What whole each copy of a duplicate search is part of: a folder at or above its own that marks
// one (see WholeMarkers), the system's own files (its folders outside the homes, and what an
// installed package lists), a virtual machine's disk, or a file and its sidecar beside each other.
// Each folder is looked at once, from the entries the walk kept where it listed them, read afresh
// only above the searched folder. Safe to ask from any number of threads.
class CopyWholes {
public:
    // The entries a walk keeps for this: those that may mark a whole, and sidecars.
    static bool keeps(std::string_view entryName);

    // `root` is the searched folder's real path; `kept` holds, for each folder below it the walk
    // listed ("/" for the top of the file system), the entries `keeps` let through.
    // `kept` outlives this.
    CopyWholes(std::string root, const std::unordered_map<std::string, std::vector<DirectoryEntry>>& kept);

    std::optional<UntickedReason> of(const std::string& path);

private:
    std::optional<WholeKind> folderWhole(const std::string& folder);
    std::optional<WholeKind> ownWhole(const std::string& folder) const;
    bool isSystemFile(const std::string& path);
    bool standsWithSidecar(const std::string& path) const;

    std::string root_;
    const std::unordered_map<std::string, std::vector<DirectoryEntry>>& kept_;
    std::string systemRoot_;  // the root the system's folders lie in: "/" but in tests
    std::vector<std::string> homes_;  // the user's home, also where it lies in a system folder
    FolderAnswers<std::optional<WholeKind>> folders_;
    std::once_flag listedOnce_;
    std::shared_ptr<const std::unordered_set<std::string>> listed_;
};
