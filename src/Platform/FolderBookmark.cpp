#include "Platform/FolderBookmark.h"

#include "Platform/StandardizedPath.h"

#include <system_error>

namespace FolderBookmark {

std::optional<QByteArray> data(const std::filesystem::path& folder) {
    if (!folder.is_absolute()) return std::nullopt;
    const std::string bytes = standardizedPath(folder).string();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::filesystem::path> resolve(const QByteArray& data) {
    if (data.isEmpty() || data.front() != '/' || data.contains('\0')) return std::nullopt;
    std::filesystem::path folder = standardizedPath(std::string(data.constData(), static_cast<size_t>(data.size())));
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    return folder;
}

}  // namespace FolderBookmark
