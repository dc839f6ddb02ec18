#include "Models/DuplicateGroup.h"

#include "Models/CopyNames.h"

namespace {

using BirthTime = FileIdentity::BirthTime;

std::optional<BirthTime> bornAt(const ScannedFile& copy) { return copy.identity ? copy.identity->born : std::nullopt; }

// Of each copy, whether its name, or that of a folder it lies in below the folder every copy lies
// in, carries a copy's mark: "Album (2)/01.flac" beside "Album/01.flac". A folder they all share
// tells none of them apart.
std::vector<char> copyMarks(const std::vector<ScannedFile>& copies) {
    std::size_t shared = copies.empty() ? 0 : copies.front().path.native().size();
    for (const ScannedFile& copy : copies) {
        const std::string& path = copy.path.native();
        const std::string& first = copies.front().path.native();
        shared = std::min<std::size_t>(shared, std::size_t(std::mismatch(first.begin(), first.begin() + std::min(shared, first.size()), path.begin(), path.end()).first - first.begin()));
    }
    std::vector<char> marks;
    marks.reserve(copies.size());
    for (const ScannedFile& copy : copies) {
        const std::string& path = copy.path.native();
        // From the start of the name the shared text ends in.
        std::size_t start = path.rfind('/', shared == 0 ? 0 : shared - 1);
        start = start == std::string::npos ? 0 : start + 1;
        bool marked = false;
        for (std::size_t end = path.find('/', start); !marked; start = end + 1, end = path.find('/', start)) {
            marked = CopyNames::carriesCopyMark(std::string_view(path).substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
        }
        marks.push_back(marked);
    }
    return marks;
}

}  // namespace

void DuplicateGroup::orderCopies(std::vector<ScannedFile>& copies) {
    const std::vector<char> marks = copyMarks(copies);
    std::vector<std::size_t> order(copies.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        const ScannedFile& a = copies[i];
        const ScannedFile& b = copies[j];
        if (marks[i] != marks[j]) return marks[j] != 0;
        if (a.inPassingFolder != b.inPassingFolder) return b.inPassingFolder;
        if (a.modifiedAt != b.modifiedAt) return !b.modifiedAt || (a.modifiedAt && *a.modifiedAt > *b.modifiedAt);
        const std::optional<BirthTime> aBorn = bornAt(a), bBorn = bornAt(b);
        return aBorn && (!bBorn || *aBorn < *bBorn);
    });
    std::vector<ScannedFile> ordered;
    ordered.reserve(copies.size());
    for (std::size_t i : order) ordered.push_back(std::move(copies[i]));
    copies = std::move(ordered);
    const auto linked = std::find_if(copies.begin(), copies.end(), [](const ScannedFile& copy) { return !freesSpace(copy); });
    std::rotate(copies.begin(), linked, linked == copies.end() ? linked : linked + 1);
}

bool DuplicateGroup::keptCopyIsClear() const {
    if (files.empty()) return true;
    const std::vector<char> marks = copyMarks(files);
    const ScannedFile& kept = files.front();
    const std::optional<BirthTime> keptBorn = bornAt(kept);
    for (std::size_t i = 1; i < files.size(); ++i) {
        const ScannedFile& copy = files[i];
        if (marks[i] != marks[0] || copy.inPassingFolder != kept.inPassingFolder || copy.modifiedAt != kept.modifiedAt) continue;
        const std::optional<BirthTime> born = bornAt(copy);
        if (!keptBorn || !born || !(*keptBorn < *born)) return false;
    }
    return true;
}
