#include "Foundation/PlaceIndex.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

bool byText(const std::pair<fs::path, std::string>& a, const std::pair<fs::path, std::string>& b) {
    return a.first.native() < b.first.native();
}

}  // namespace

void PlaceIndex::sort() {
    std::sort(places_.begin(), places_.end(), byText);
}

std::optional<std::string> PlaceIndex::within(const fs::path& folder) const {
    const std::string& text = folder.native();
    auto at = [&](const std::string& key) {
        return std::lower_bound(places_.begin(), places_.end(), key, [](const auto& place, const std::string& wanted) { return place.first.native() < wanted; });
    };
    // "/a/b" itself, then what lies below it: "/a/b-c" and "/a/b.d" sort between the two, so each is
    // looked for on its own.
    if (const auto same = at(text); same != places_.end() && same->first.native() == text) return same->second;
    const std::string below = text.ends_with('/') ? text : text + "/";
    if (const auto inside = at(below); inside != places_.end() && inside->first.native().starts_with(below)) return inside->second;
    return std::nullopt;
}
