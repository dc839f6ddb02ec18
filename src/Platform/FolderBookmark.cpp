#include "Platform/FolderBookmark.h"

#include <system_error>

namespace FolderBookmark {

std::filesystem::path standardized(const std::filesystem::path& folder) {
    std::string text = folder.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::optional<QByteArray> data(const std::filesystem::path& folder) {
    if (!folder.is_absolute()) return std::nullopt;
    const std::string bytes = standardized(folder).string();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::filesystem::path> resolve(const QByteArray& data) {
    if (data.isEmpty() || data.front() != '/' || data.contains('\0')) return std::nullopt;
    std::filesystem::path folder = standardized(std::string(data.constData(), static_cast<size_t>(data.size())));
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    return folder;
}

}  // namespace FolderBookmark
