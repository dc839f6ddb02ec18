#include "Services/MovedNames.h"

#include <algorithm>

FileIdentity MovedNames::expected(const FileIdentity& listed) const {
    const auto found = std::find_if(moved_.begin(), moved_.end(), [&](const Moved& each) { return each.listed == listed; });
    return found != moved_.end() ? found->left : listed;
}

std::optional<FileIdentity> MovedNames::expected(const std::optional<FileIdentity>& listed) const {
    if (!listed) return std::nullopt;
    return expected(*listed);
}

void MovedNames::moved(const FileIdentity& listed, const FileIdentity& checked, const std::filesystem::path& location) {
    // A folder's identity holds no times: a move leaves it as listed.
    if (S_ISDIR(listed.type)) return;
    const auto left = FileIdentity::at(location);
    const bool onlyMoved = left && left->sameApartFromStatusChange(checked) && (checked.links == 0 || left->links == checked.links);
    auto found = std::find_if(moved_.begin(), moved_.end(), [&](const Moved& each) { return each.listed == listed; });
    if (!onlyMoved) {
        if (found != moved_.end()) moved_.erase(found);
        return;
    }
    if (found != moved_.end()) found->left = *left;
    else moved_.push_back({listed, *left});
}
