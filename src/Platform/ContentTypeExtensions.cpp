#include "Platform/ContentTypeExtensions.h"

#include <QMimeDatabase>

#include <algorithm>
#include <functional>
#include <map>

namespace {

std::string lowercased(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c); });
    return result;
}

bool startsWith(const QMimeType& type, const char* topType) {
    return type.name().startsWith(QLatin1String(topType));
}

// The MIME database has no parent type for "any image" or "any archive"; its top types and generic
// icons are the grouping it does have.
bool isImage(const QMimeType& type) { return startsWith(type, "image/"); }
bool isMovie(const QMimeType& type) { return startsWith(type, "video/"); }
bool isAudio(const QMimeType& type) { return startsWith(type, "audio/"); }
bool isArchive(const QMimeType& type) { return type.genericIconName() == QLatin1String("package-x-generic"); }
// Content: text of every sort, office documents, and media, as the content type tree has it.
bool isContent(const QMimeType& type) {
    static const QStringList documentIcons = {"x-office-document", "x-office-spreadsheet", "x-office-presentation"};
    return startsWith(type, "text/") || type.inherits(QStringLiteral("text/plain")) ||
           documentIcons.contains(type.genericIconName()) || isImage(type) || isMovie(type) || isAudio(type);
}

}  // namespace

const ContentTypeExtensions& ContentTypeExtensions::forType(std::string_view contentType) {
    static const std::map<std::string, ContentTypeExtensions, std::less<>> byType = [] {
        const std::map<std::string, std::function<bool(const QMimeType&)>> tests = {
            {"public.image", isImage},     {"public.movie", isMovie},     {"public.audio", isAudio},
            {"public.content", isContent}, {"public.archive", isArchive},
        };
        std::map<std::string, ContentTypeExtensions, std::less<>> sets;
        const QList<QMimeType> types = QMimeDatabase().allMimeTypes();
        for (const auto& [name, test] : tests) {
            ContentTypeExtensions& set = sets[name];
            for (const QMimeType& type : types) {
                if (!test(type)) continue;
                for (const QString& suffix : type.suffixes()) {
                    std::string extension = lowercased(suffix.toStdString());
                    if (extension.empty()) continue;
                    set.mostDots_ = std::max<std::size_t>(set.mostDots_, 1 + std::count(extension.begin(), extension.end(), '.'));
                    set.extensions_.insert(std::move(extension));
                }
            }
        }
        return sets;
    }();
    static const ContentTypeExtensions none;
    auto found = byType.find(contentType);
    return found == byType.end() ? none : found->second;
}

bool ContentTypeExtensions::matches(std::string_view fileName) const {
    std::size_t end = fileName.size();
    for (std::size_t dots = 0; dots < mostDots_; ++dots) {
        std::size_t dot = fileName.rfind('.', end == 0 ? 0 : end - 1);
        if (dot == std::string_view::npos || dot == 0) return false;
        if (extensions_.count(lowercased(fileName.substr(dot + 1)))) return true;
        end = dot;
    }
    return false;
}
