#include "Platform/TrackedPaths.h"

#include "Foundation/LiesWithin.h"

#include <algorithm>

void TrackedPaths::sort() {
    for (auto* paths : {&files, &folders}) {
        std::sort(paths->begin(), paths->end());
        paths->erase(std::unique(paths->begin(), paths->end()), paths->end());
    }
}

bool TrackedPaths::holds(std::string_view relative) const {
    if (relative.empty()) return false;
    if (std::binary_search(files.begin(), files.end(), relative, std::less<>())) return true;
    // What lies inside sorts right after the folder and its slash.
    const std::string inside = std::string(relative) + '/';
    const auto below = std::lower_bound(files.begin(), files.end(), inside);
    if (below != files.end() && below->starts_with(inside)) return true;
    return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
        return liesWithinText(relative, folder) || liesWithinText(folder, relative);
    });
}
