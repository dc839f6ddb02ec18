#include "Platform/TrashError.h"

#include <cstring>
#include <string>

namespace {

std::string logText(TrashError::Reason reason, const std::filesystem::path& item, int systemError) {
    if (reason == TrashError::Reason::noTrash) return "no trash for " + item.native();
    if (reason == TrashError::Reason::trashFolder) return "not moving " + item.native() + ", which is in a trash or holds one";
    if (reason == TrashError::Reason::mounted) return "not moving " + item.native() + ", which is a mount point or holds one";
    return "cannot move " + item.native() + " to the trash: " + std::strerror(systemError);
}

}  // namespace

TrashError::TrashError(Reason reason, std::filesystem::path item, int systemError)
    : std::runtime_error(logText(reason, item, systemError)), reason_(reason), item_(std::move(item)), systemError_(systemError) {}
