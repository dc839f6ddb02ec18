#include "Services/UninstallError.h"

#include "Models/AppLocalization.h"

namespace {

std::string message(const TrashError& cause, size_t moved) {
    if (moved == 0) return cause.what();
    return AppLocalization::format("uninstaller.movedBeforeFailure", {static_cast<long long>(moved), QString::fromStdString(cause.what())}).toStdString();
}

}  // namespace

UninstallError::UninstallError(const TrashError& cause, std::vector<std::filesystem::path> movedLocations)
    : TrashError(message(cause, movedLocations.size())), movedLocations_(std::move(movedLocations)) {}
