#pragma once

#include "Models/RawValues.h"
#include "Models/TextKey.h"

// The three maps of the storage screen's map card.
enum class StorageMapMode { blocks, folders, threeD };

template <>
struct RawValues<StorageMapMode> {
    static constexpr std::array<std::pair<StorageMapMode, std::string_view>, 3> table{{
        {StorageMapMode::blocks, "blocks"},
        {StorageMapMode::folders, "folders"},
        {StorageMapMode::threeD, "threeD"},
    }};
};

constexpr const char* tabTitleKey(StorageMapMode mode) {
    switch (mode) {
    case StorageMapMode::blocks: return textKey("storage.view.blocks");
    case StorageMapMode::folders: return textKey("storage.view.folders");
    case StorageMapMode::threeD: return textKey("storage.view.3d");
    }
    return "";
}

constexpr const char* symbol(StorageMapMode mode) {
    switch (mode) {
    case StorageMapMode::blocks: return "square.grid.2x2";
    case StorageMapMode::folders: return "folder";
    case StorageMapMode::threeD: return "cube";
    }
    return "";
}
