#include "Platform/StandardizedPath.h"

std::filesystem::path standardizedPath(const std::filesystem::path& path) {
    std::filesystem::path absolute = path;
    if (absolute.is_relative()) {
        std::error_code ignored;
        absolute = std::filesystem::current_path(ignored) / path;
    }
    std::string text = absolute.lexically_normal().native();
    // POSIX leaves a leading "//" to the system; Linux reads it as "/".
    while (text.size() > 1 && text[0] == '/' && text[1] == '/') text.erase(0, 1);
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text.empty() ? std::filesystem::path("/") : std::filesystem::path(text);
}
