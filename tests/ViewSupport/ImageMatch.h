#pragma once

#include <QImage>

#include <cstdlib>

// How far apart two renderings are: their summed colour difference over the summed ink of both,
// ink being how far a pixel stands from the background (the first picture's corner). 0 for
// identical pictures; antialiased edges of a mirrored or re-rasterised drawing differ by a few
// per cent, a different drawing by far more.
inline double imageDifference(const QImage& first, const QImage& second) {
    if (first.size() != second.size()) return 1;
    const QImage a = first.convertToFormat(QImage::Format_ARGB32), b = second.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = a.pixel(0, 0);
    auto distance = [](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
    };
    double difference = 0, ink = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            difference += distance(a.pixel(x, y), b.pixel(x, y));
            ink += distance(a.pixel(x, y), background) + distance(b.pixel(x, y), background);
        }
    }
    return ink > 0 ? difference / ink : 0;
}
