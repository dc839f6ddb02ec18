#include "Platform/KindDescriptions.h"

#include "Foundation/PathText.h"

#include <QMimeDatabase>

QString KindDescriptions::lowercasedExtension(const std::filesystem::path& file) {
    const std::string& path = file.native();
    size_t nameStart = path.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return {};
    return PathText::display(std::string_view(path).substr(dot + 1)).toLower();
}

QString KindDescriptions::kind(const std::filesystem::path& file) {
    QString extension = lowercasedExtension(file);
    auto cached = cache_.constFind(extension);
    if (cached != cache_.cend()) return *cached;

    QString description;
    if (!extension.isEmpty()) {
        // The database is thread-safe; its glob match stands in for "the type of this extension".
        const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(QStringLiteral("file.") + extension);
        for (const QMimeType& type : types) {
            if (type.isValid() && !type.comment().isEmpty()) {
                description = type.comment();
                break;
            }
        }
    }
    if (description.isEmpty()) description = extension.toUpper();
    cache_.insert(extension, description);
    return description;
}
