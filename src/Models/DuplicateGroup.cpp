#include "Models/DuplicateGroup.h"

namespace {

using BirthTime = FileIdentity::BirthTime;

std::optional<BirthTime> bornAt(const ScannedFile& copy) { return copy.identity ? copy.identity->born : std::nullopt; }

}  // namespace

void DuplicateGroup::orderCopies(std::vector<ScannedFile>& copies) {
    std::stable_sort(copies.begin(), copies.end(), [](const ScannedFile& a, const ScannedFile& b) {
        if (a.inPassingFolder != b.inPassingFolder) return b.inPassingFolder;
        if (a.modifiedAt != b.modifiedAt) return !b.modifiedAt || (a.modifiedAt && *a.modifiedAt > *b.modifiedAt);
        const std::optional<BirthTime> aBorn = bornAt(a), bBorn = bornAt(b);
        return aBorn && (!bBorn || *aBorn < *bBorn);
    });
    const auto linked = std::find_if(copies.begin(), copies.end(), [](const ScannedFile& copy) { return !freesSpace(copy); });
    std::rotate(copies.begin(), linked, linked == copies.end() ? linked : linked + 1);
}

bool DuplicateGroup::keptCopyIsClear() const {
    if (files.empty()) return true;
    const ScannedFile& kept = files.front();
    const std::optional<BirthTime> keptBorn = bornAt(kept);
    return std::none_of(files.begin() + 1, files.end(), [&](const ScannedFile& copy) {
        if (copy.inPassingFolder != kept.inPassingFolder || copy.modifiedAt != kept.modifiedAt) return false;
        const std::optional<BirthTime> born = bornAt(copy);
        return !keptBorn || !born || !(*keptBorn < *born);
    });
}
