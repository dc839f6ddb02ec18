#pragma once

#include "Platform/TrashError.h"

#include <filesystem>
#include <stdexcept>
#include <vector>

// A removal in which the Trash refused some items: the others were moved all the same, and their new
// locations are reported with the failures.
class UninstallError : public std::runtime_error {
public:
    UninstallError(std::vector<TrashError> failures, std::vector<std::filesystem::path> movedLocations)
        : std::runtime_error(failures.empty() ? "removal failed" : failures.front().what()), failures_(std::move(failures)),
          movedLocations_(std::move(movedLocations)) {}
    const std::vector<TrashError>& failures() const { return failures_; }
    const std::vector<std::filesystem::path>& movedLocations() const { return movedLocations_; }

private:
    std::vector<TrashError> failures_;
    std::vector<std::filesystem::path> movedLocations_;
};
