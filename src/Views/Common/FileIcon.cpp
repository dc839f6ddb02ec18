#include "Views/Common/FileIcon.h"

#include "Foundation/PathText.h"
#include "Views/Common/IconTheme.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include <system_error>

namespace {

QIcon firstThemeIcon(const QStringList& names, QStyle::StandardPixmap fallback) {
    for (const QString& name : names) {
        const QIcon icon = IconTheme::icon(name);
        if (!icon.isNull()) return icon;
    }
    return QApplication::style()->standardIcon(fallback);
}

}  // namespace

// By the item's name and whether it is a folder, never by its contents: the file is not opened on
// the window's thread, where a FIFO or a slow disk would hold it.
QIcon fileIcon(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::status(path, error)))
        return firstThemeIcon({QStringLiteral("folder"), QStringLiteral("inode-directory")}, QStyle::SP_DirIcon);
    static const QMimeDatabase mimeTypes;
    const QMimeType type = mimeTypes.mimeTypeForFile(PathText::display(path.filename()), QMimeDatabase::MatchExtension);
    return firstThemeIcon({type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic")}, QStyle::SP_FileIcon);
}
