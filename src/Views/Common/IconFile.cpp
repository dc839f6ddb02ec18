#include "Views/Common/IconFile.h"

#include "Platform/FileContents.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace IconFile {

namespace {

// Icons are a few hundred kilobytes at most.
constexpr size_t largestIconFile = 8 << 20;
// A scalable icon is drawn once at the largest size the screens show.
constexpr int scalableSide = 256;

}  // namespace

QIcon read(const std::vector<std::filesystem::path>& files) {
    QIcon icon;
    for (const std::filesystem::path& file : files) {
        const auto bytes = FileContents::read(file, largestIconFile);
        if (!bytes || bytes->empty()) continue;
        QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format();
        if (format == "svg" || format == "svgz") reader.setScaledSize(QSize(scalableSide, scalableSide));
        const QImage image = reader.read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace IconFile
