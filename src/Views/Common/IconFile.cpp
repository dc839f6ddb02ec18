#include "Views/Common/IconFile.h"

#include "Platform/FileContents.h"
#include "Views/Common/SvgCost.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace IconFile {

namespace {

// Icons are a few hundred kilobytes at most.
constexpr size_t largestIconFile = 4 << 20;
// The largest bitmap worth decoding: the screens draw icons at 76 points at most.
constexpr int largestBitmapSide = 1024;
// A scalable icon is drawn once at the largest size the screens show.
constexpr int scalableSide = 256;
// Detailed application icons draw a few thousand elements and segments; each element may cost a fill
// of the whole image, each segment an edge across it, so this many keeps the longest decode to seconds
// on a worker instead of a minute.
constexpr int mostScalableCost = 16000;

QImage decodeOne(const std::filesystem::path& file) {
    const auto bytes = FileContents::read(file, largestIconFile);
    if (!bytes || bytes->empty()) return {};
    QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format == "svgz" || data.startsWith("\x1f\x8b")) return {};
    if (format == "svg") {
        if (SvgCost::drawingCost(data, mostScalableCost) > mostScalableCost) return {};
        reader.setScaledSize(QSize(scalableSide, scalableSide));
    } else {
        const QSize size = reader.size();
        if (size.width() > largestBitmapSide || size.height() > largestBitmapSide) return {};
    }
    return reader.read();
}

}  // namespace

std::vector<QImage> decode(const std::vector<std::filesystem::path>& files) {
    std::vector<QImage> images;
    for (const std::filesystem::path& file : files) {
        QImage image = decodeOne(file);
        if (!image.isNull()) images.push_back(std::move(image));
    }
    return images;
}

QIcon icon(const std::vector<QImage>& images) {
    QIcon icon;
    for (const QImage& image : images) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

}  // namespace IconFile
