#pragma once

#include "Foundation/SaturatingSum.h"
#include "Models/ScannedFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Files whose contents are identical; the first copy is the one the tools keep.
struct DuplicateGroup {
    std::string id;  // lower-case hex SHA-256 of the shared content
    std::vector<ScannedFile> files;  // each copy's size is what it takes on disk
    std::int64_t fileSize = 0;  // logical length of each copy

    // Whether moving `copy` to the Trash, and emptying it, frees the copy's space: not when the file
    // had another name when it was listed, which keeps its content. The finder lists one name of each
    // file, so that other name is never among the copies moved. A copy listed without its identity
    // counts.
    static bool freesSpace(const ScannedFile& copy) { return !copy.identity || copy.identity->links <= 1; }
    // What moving `copy` frees on disk: what it takes there and shares with no other file, when it
    // has one name. A copy that holds no block (all holes) frees nothing either.
    static std::int64_t freedBytes(const ScannedFile& copy) { return copy.freed().alone(); }
    // A copy that takes blocks on disk, every one of them shared with another file (a reflinked copy).
    static bool sharesAllBlocks(const ScannedFile& copy) { return copy.size > 0 && copy.sharedBytes >= copy.size; }
    // The one rule for why a copy is left unticked: another name of it, or of a file in its folder
    // (`inLinkedFolder`), makes it a backup's; else the whole it is part of, if any; else blocks all
    // shared with another file.
    static std::optional<UntickedReason> untickedReason(const ScannedFile& copy, bool inLinkedFolder, std::optional<UntickedReason> partOfWhole) {
        if (inLinkedFolder || !freesSpace(copy)) return UntickedReason::backup;
        if (partOfWhole) return partOfWhole;
        if (sharesAllBlocks(copy)) return UntickedReason::sharedBlocks;
        return std::nullopt;
    }

    // Puts the copy to keep first: one with another name where there is one, as moving it would
    // free nothing and its other name (a backup's, or one in the Trash) holds the content either way;
    // else one whose name carries no copy's mark over one that does ("photo.jpg" over
    // "photo (1).jpg", "Album/" over "Album (2)/"), so the original name stays; then one in a lasting
    // place over one where files pass through (a photo in Pictures over the copy saved again in
    // Downloads); then the newest, and of copies of one date (`cp -a`, `rsync -a` and file managers
    // keep it) the one born first. A copy without a date counts as the distant past, one without a
    // birth time as born last. The rest follow in the same order.
    static void orderCopies(std::vector<ScannedFile>& copies);

    // The reason of the first copy that has one: a group that reaches into a backup, a whole or the
    // system's files is left to the user, as taking a copy out would take its whole apart, and
    // moving a live one would leave its backup in its place.
    std::optional<UntickedReason> untickedReason() const {
        const auto reasoned = std::find_if(files.begin(), files.end(), [](const ScannedFile& copy) { return copy.untickedReason.has_value(); });
        return reasoned == files.end() ? std::nullopt : reasoned->untickedReason;
    }
    // Whether the kept copy is known to be the original: the only one of its name's kind (marked as a
    // copy or not), place and date, or of those the one born first, where every one of them has a
    // birth time and no two share it.
    bool keptCopyIsClear() const;
    // Whether the finder ticks the copies beyond the first that free space: only where no copy has a
    // reason to stay unticked and the kept copy is clear. The user may still tick them.
    bool ticksCopies() const { return !untickedReason() && keptCopyIsClear(); }

    // The space that moving the copies beyond the first would free, saturating.
    std::int64_t reclaimableBytes() const {
        std::int64_t freeing = 0;
        for (std::size_t index = 1; index < files.size(); ++index) freeing = saturatingSum(freeing, freedBytes(files[index]));
        return freeing;
    }

    // Whether some copy beyond the first that frees space is compressed on disk, so that moving them
    // frees at most `reclaimableBytes`.
    bool freesUpTo() const {
        return std::any_of(files.begin() + (files.empty() ? 0 : 1), files.end(),
                           [](const ScannedFile& copy) { return copy.compressed && freedBytes(copy) > 0; });
    }

    // The order groups are listed in: the one whose move frees more first.
    static bool freesMore(const DuplicateGroup& a, const DuplicateGroup& b) { return a.reclaimableBytes() > b.reclaimableBytes(); }

    bool operator==(const DuplicateGroup&) const = default;
};
