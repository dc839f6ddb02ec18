#include "App/MenuBarPanel/MenuBarGlyph.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/Symbols.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace MenuBarGlyph {
namespace {

const QString unknown = QStringLiteral("—");
// Points kept clear at the square's edges for the outline.
constexpr qreal outlineMargin = 1;

void drawSpark(QPainter& painter, const std::vector<double>& values, qreal side) {
    // The 60-by-16 glyph, widened to the square and lifted to three quarters of its height.
    const std::vector<double> heights = sparkHeights(values);
    const qreal unit = (side - 2 * outlineMargin) / 60.0;
    const qreal scaleY = side * 0.75 / sparkHeight;
    const qreal bottom = side * 0.875;
    for (std::size_t i = 0; i < heights.size(); ++i) {
        const qreal height = heights[i] * scaleY;
        painter.fillRect(QRectF(outlineMargin + qreal(i) * 2.5 * unit, bottom - height, 1.5 * unit, height), Qt::black);
    }
}

// The widest number the stacked glyph shows, in the chosen language's digits.
QString widestNumber() { return AppLocalization::activeLocale().toString(100); }

QFont stackedFont(int pixelSize) {
    QFont font = Fonts::system(8.5, QFont::DemiBold);
    font.setPixelSize(pixelSize);
    return font;
}

// The two lines are placed by the digits' own height, not the font's line height, a gap apart.
qreal digitHeight(const QFontMetricsF& metrics) { return -metrics.tightBoundingRect(widestNumber()).top(); }

// How far the figure's number may be narrowed to fit its square: "100" at full load, no more.
constexpr qreal narrowest = 0.65;

QFont figureFont(int pixelSize) {
    QFont font = Fonts::system(8.5, QFont::Bold);
    font.setPixelSize(pixelSize);
    return font;
}

void drawFigure(QPainter& painter, const QString& number, qreal side) {
    const QFont font = figureFont(figurePixelSize(int(side)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    const qreal room = side - 2 * outlineMargin;
    const qreal width = metrics.horizontalAdvance(number);
    const qreal narrowing = width > room ? room / width : 1;
    // Centred on the digits' own height, the number narrowed only as much as it must.
    painter.translate(side - outlineMargin, (side + digitHeight(metrics)) / 2);
    painter.scale(narrowing, 1);
    painter.drawText(QPointF(-width, 0), number);
}
qreal lineGap(qreal side) { return std::max<qreal>(1, side / 12); }

void drawNumbers(QPainter& painter, const std::pair<QString, QString>& numbers, qreal side) {
    const QFont font = stackedFont(stackedPixelSize(int(side)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    const qreal digits = digitHeight(metrics);
    const qreal gap = lineGap(side);
    const qreal top = (side - 2 * digits - gap) / 2;
    const qreal trailing = side - outlineMargin;
    qreal baseline = top + digits;
    for (const QString& number : {numbers.first, numbers.second}) {
        painter.drawText(QPointF(trailing - metrics.horizontalAdvance(number), baseline), number);
        baseline += digits + gap;
    }
}

// The glyph's ink over a ring of the outline colour, `radius` device pixels wide.
QImage outlined(const QImage& glyph, const QColor& ink, const QColor& outline, int radius) {
    QImage mask = glyph;
    mask.setDevicePixelRatio(1);
    QImage result(mask.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius + radius) painter.drawImage(QPoint(dx, dy), mask);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), outline);
    QImage inked = mask;
    QPainter inking(&inked);
    inking.setCompositionMode(QPainter::CompositionMode_SourceIn);
    inking.fillRect(inked.rect(), ink);
    inking.end();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), inked);
    painter.end();
    result.setDevicePixelRatio(glyph.devicePixelRatio());
    return result;
}

}  // namespace

MenuBarItemStyle style(const QString& stored) { return fromRawText<MenuBarItemStyle>(stored).value_or(MenuBarItemStyle::icon); }

double memoryRatio(const SystemMetrics& metrics) {
    if (metrics.memoryTotal == 0) return 0;
    return double(metrics.memoryUsed) / double(metrics.memoryTotal);
}

std::vector<double> sparkValues(const std::vector<MetricPoint>& history) {
    std::vector<double> values;
    const std::size_t first = history.size() > std::size_t(sparkBars) ? history.size() - sparkBars : 0;
    for (std::size_t i = first; i < history.size(); ++i) values.push_back(history[i].value);
    return values;
}

std::vector<double> sparkHeights(const std::vector<double>& values) {
    std::vector<double> list;
    if (values.size() < std::size_t(sparkBars)) list.assign(sparkBars - values.size(), 0.0);
    list.insert(list.end(), values.begin(), values.end());
    std::vector<double> heights;
    heights.reserve(list.size());
    for (double value : list) heights.push_back(std::isnan(value) || value >= 1 ? sparkHeight : std::max(value * sparkHeight, 1.0));
    return heights;
}

std::pair<QString, QString> stackedLines(std::optional<double> cpu, double memory) {
    return {QStringLiteral("CPU ") + (cpu ? Fmt::percent(*cpu) : unknown), QStringLiteral("MEM ") + Fmt::percent(memory)};
}

std::pair<QString, QString> stackedNumbers(std::optional<double> cpu, double memory) {
    auto number = [](std::optional<double> fraction) {
        const double percent = fraction ? std::nearbyint(*fraction * 100) : std::nan("");
        if (!std::isfinite(percent) || std::abs(percent) >= 1e6) return unknown;
        return AppLocalization::activeLocale().toString(static_cast<qlonglong>(percent));
    };
    return {number(cpu), number(memory)};
}

int figurePixelSize(int side) {
    const QString widest = widestNumber();
    const qreal room = side - 2 * outlineMargin;
    int size = std::max(1, side);
    for (; size > 6; --size) {
        const QFontMetricsF metrics(figureFont(size));
        if (metrics.horizontalAdvance(widest) * narrowest <= room && digitHeight(metrics) <= room * 0.65) break;
    }
    return size;
}

int stackedPixelSize(int side) {
    const QString widest = widestNumber();
    int size = std::max(1, side * 3 / 5);
    for (; size > 6; --size) {
        const QFontMetricsF metrics(stackedFont(size));
        const qreal room = side - 2 * outlineMargin;
        if (metrics.horizontalAdvance(widest) <= room && 2 * digitHeight(metrics) + lineGap(side) <= room) break;
    }
    return size;
}

QImage image(MenuBarItemStyle style, const Reading& reading, int side, qreal devicePixelRatio, const QColor& ink,
             const std::optional<QColor>& outline) {
    const int pixels = std::max(1, int(std::lround(side * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal box = side;
    switch (style) {
    case MenuBarItemStyle::icon:
        Symbols::paint(painter, QRectF(0, 0, box, box), QStringLiteral("waveform.path.ecg"), box / 1.3, Qt::black);
        break;
    case MenuBarItemStyle::figure:
        drawFigure(painter, stackedNumbers(reading.cpu, 0).first, box);
        break;
    case MenuBarItemStyle::graph:
        drawSpark(painter, reading.spark, box);
        break;
    case MenuBarItemStyle::stacked:
        drawNumbers(painter, stackedNumbers(reading.cpu, reading.memory), box);
        break;
    }
    if (outline) {
        painter.end();
        return outlined(image, ink, *outline, std::max(1, int(std::lround(devicePixelRatio))));
    }
    // The template's black takes the ink.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(0, 0, box, box), ink);
    return image;
}

}  // namespace MenuBarGlyph
