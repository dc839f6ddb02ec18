#pragma once

#include "Models/RawValues.h"
#include "Models/TextKey.h"

// The order of the storage screen's folder list; view state only, never stored.
enum class FolderSort { size, name, items };

template <>
struct RawValues<FolderSort> {
    static constexpr std::array<std::pair<FolderSort, std::string_view>, 3> table{{
        {FolderSort::size, "size"},
        {FolderSort::name, "name"},
        {FolderSort::items, "items"},
    }};
};

constexpr const char* tabTitleKey(FolderSort sort) {
    switch (sort) {
    case FolderSort::size: return textKey("storage.sort.size");
    case FolderSort::name: return textKey("storage.sort.name");
    case FolderSort::items: return textKey("storage.sort.items");
    }
    return "";
}

constexpr const char* symbol(FolderSort sort) {
    switch (sort) {
    case FolderSort::size: return "arrow.down.circle";
    case FolderSort::name: return "textformat";
    case FolderSort::items: return "doc.on.doc";
    }
    return "";
}
