#pragma once

#include "Platform/TrashError.h"

#include <filesystem>
#include <vector>

// A removal the Trash stopped part-way: the items moved before the failure stay in the Trash, and
// their new locations are reported with the error.
class UninstallError : public TrashError {
public:
    UninstallError(const TrashError& cause, std::vector<std::filesystem::path> movedLocations)
        : TrashError(cause), movedLocations_(std::move(movedLocations)) {}
    const std::vector<std::filesystem::path>& movedLocations() const { return movedLocations_; }

private:
    std::vector<std::filesystem::path> movedLocations_;
};
