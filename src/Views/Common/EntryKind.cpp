#include "Views/Common/EntryKind.h"

#include "Models/AppLocalization.h"
#include "Platform/KindDescriptions.h"

namespace EntryKind {

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::symlink_status(path, error));
}

QString text(const std::filesystem::path& path) {
    if (isFolder(path)) return AppLocalization::string("storage.folder");
    const QString kind = KindDescriptions().kind(path);
    return kind.isEmpty() ? AppLocalization::string("storage.file") : kind;
}

}  // namespace EntryKind
