#include "Views/Common/FileIcon.h"

#include "Foundation/PathText.h"
#include "Views/Common/IconTheme.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

#include <system_error>

namespace {

// The icon of the item's kind, by its name alone: what a file that is gone still shows.
QIcon kindIcon(const std::filesystem::path& path) {
    static const QMimeDatabase mimeTypes;
    const QMimeType type = mimeTypes.mimeTypeForFile(PathText::display(path.filename()), QMimeDatabase::MatchExtension);
    for (const QString& name : {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic")}) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull()) return icon;
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

}  // namespace

QIcon fileIcon(const std::filesystem::path& path) {
    IconTheme::prepare();
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return kindIcon(path);
    static const QFileIconProvider provider;
    const QIcon icon = provider.icon(QFileInfo(PathText::display(path)));
    return icon.isNull() ? kindIcon(path) : icon;
}
