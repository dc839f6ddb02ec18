#pragma once

#include "Foundation/FileIdentity.h"

#include <filesystem>
#include <optional>

// One item a tool asks to move to the Trash, with what it was when the tool listed it. A duplicate
// copy also names the copy its group keeps, which must still be there unchanged: moving the copy
// must never leave no copy at all.
struct TrashRequest {
    struct Kept {
        std::filesystem::path path;
        FileIdentity identity;
        bool operator==(const Kept&) const = default;
    };

    TrashRequest(std::filesystem::path location, std::optional<FileIdentity> listed = {}, std::optional<Kept> keptCopy = {})
        : path(std::move(location)), identity(std::move(listed)), kept(std::move(keptCopy)) {}

    std::filesystem::path path;
    std::optional<FileIdentity> identity;  // none: moved whatever is there
    std::optional<Kept> kept;

    bool operator==(const TrashRequest&) const = default;
};
