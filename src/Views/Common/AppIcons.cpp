#include "Views/Common/AppIcons.h"

#include "Platform/FileContents.h"
#include "Views/Common/IconTheme.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QPixmap>

#include <filesystem>

namespace AppIcons {

namespace {

// Application icons are a few hundred kilobytes at most.
constexpr size_t largestIconFile = 8 << 20;
// A scalable icon is drawn once at the largest size the screens show.
constexpr int scalableSide = 256;

// An icon file named by its path. Only a regular file is opened, and without waiting: a FIFO or a
// device in its place would otherwise hold the window in open() for good. Read into memory first,
// so nothing opens the path again when the icon is drawn.
QIcon iconFromFile(const std::filesystem::path& file) {
    const auto bytes = FileContents::read(file, largestIconFile);
    if (!bytes || bytes->empty()) return {};
    QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format == "svg" || format == "svgz") reader.setScaledSize(QSize(scalableSide, scalableSide));
    const QImage image = reader.read();
    if (image.isNull()) return {};
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace

QIcon icon(const std::string& iconName) {
    static QHash<QString, QIcon> found;
    const QString key = QString::fromStdString(iconName);
    auto cached = found.constFind(key);
    if (cached != found.constEnd()) return *cached;

    IconTheme::prepare();
    QIcon icon;
    if (!key.isEmpty()) {
        // Absolute paths are files; anything else is a name for the theme.
        if (std::filesystem::path(iconName).is_absolute())
            icon = iconFromFile(iconName);
        else
            icon = QIcon::fromTheme(key);
    }
    if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    found.insert(key, icon);
    return icon;
}

}  // namespace AppIcons
