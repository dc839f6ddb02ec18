#pragma once

#include "Services/FileIntelligenceService.h"
#include "Support/TempTree.h"

#include <filesystem>
#include <string>
#include <vector>

// One duplicate search as the app runs it, the copies a test makes for it, and what a test reads of
// its groups.
namespace DuplicateSearches {

// Files of one content at each of `paths` below the tree, the first the oldest.
inline void same(const TempTree& tree, const std::vector<std::filesystem::path>& paths, unsigned seed, std::size_t size = 3000) {
    const std::string bytes = TempTree::randomBytes(size, seed);
    time_t when = 1'500'000'000;
    for (const std::filesystem::path& path : paths)
        TempTree::setModified(tree.write(std::filesystem::relative(path, tree.path()).string(), bytes), when += 1000);
}

inline std::vector<DuplicateGroup> search(const std::filesystem::path& folder, bool includeHidden) {
    FileIntelligenceService service;
    return service.duplicateGroups(folder, includeHidden, nullptr, nullptr).groups;
}

inline const DuplicateGroup* holding(const std::vector<DuplicateGroup>& groups, const std::filesystem::path& path) {
    for (const DuplicateGroup& group : groups)
        for (const ScannedFile& copy : group.files)
            if (copy.path == path) return &group;
    return nullptr;
}

inline const ScannedFile* copyAt(const DuplicateGroup& group, const std::filesystem::path& path) {
    for (const ScannedFile& copy : group.files)
        if (copy.path == path) return &copy;
    return nullptr;
}

// Moves what the finder ticks, as the Trash would take it: the copies beyond the first that free
// space, of the groups that tick copies. Returns what moved.
inline std::vector<std::filesystem::path> moveTicked(const std::vector<DuplicateGroup>& groups, const std::filesystem::path& bin) {
    std::vector<std::filesystem::path> moved;
    for (const DuplicateGroup& group : groups) {
        for (std::size_t i = 1; group.ticksCopies() && i < group.files.size(); ++i) {
            if (DuplicateGroup::freedBytes(group.files[i]) <= 0) continue;
            const std::filesystem::path into = bin / std::to_string(moved.size());
            std::filesystem::create_directories(into);
            std::filesystem::rename(group.files[i].path, into / group.files[i].path.filename());
            moved.push_back(group.files[i].path);
        }
    }
    return moved;
}

}  // namespace DuplicateSearches
