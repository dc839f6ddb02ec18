#pragma once

#include "Models/MenuBarItemStyle.h"
#include "Models/MetricPoint.h"
#include "Models/SystemMetrics.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

// The tray label's images. A tray icon is a small square, so each style is drawn into one: the
// symbol, the processor percent as a number, the 24-bar spark glyph of processor use, or the
// processor and memory percents as two numbers one above the other. The "%" sign and the "CPU" and
// "MEM" words would shrink the digits past reading in a square of 16 to 24 pixels; the tooltip
// carries them. Drawn black on clear,
// as a template, then coloured with the ink that stays visible on the tray, with an outline in a
// second ink where the tray's colour is not known.
namespace MenuBarGlyph {

inline constexpr int sparkBars = 24;
inline constexpr double sparkHeight = 16;  // points of a full bar in the 60 by 16 glyph

// The stored style; any text that names no style is the icon.
MenuBarItemStyle style(const QString& stored);

// Memory in use over total memory; 0 when the total is 0.
double memoryRatio(const SystemMetrics& metrics);

// The values of the newest 24 points of a history, oldest first.
std::vector<double> sparkValues(const std::vector<MetricPoint>& history);

// The heights (points) of the 24 bars: zeros pad the front when there are fewer values; a value of
// 1 or more, or not a number, is a full bar; every other is its share of 16, at least 1.
std::vector<double> sparkHeights(const std::vector<double>& values);

// "CPU 12%" and "MEM 48%"; an unknown processor figure reads "—".
std::pair<QString, QString> stackedLines(std::optional<double> cpu, double memory);
// The two numbers the stacked glyph shows: "12" and "48" in the system's digits; "—" when unknown.
std::pair<QString, QString> stackedNumbers(std::optional<double> cpu, double memory);
// The pixel size of the figure glyph's number in a square of `side` points: the largest at which
// "100", narrowed to 65 % at most, fits with room for the outline, its digits at most 65 % as high.
int figurePixelSize(int side);
// The pixel size of the stacked glyph's numbers in a square of `side` points: the largest at which
// two lines of "100" fit with room for the outline.
int stackedPixelSize(int side);

// What the label shows at one moment.
struct Reading {
    std::optional<double> cpu;  // none until a processor use was measured
    double memory = 0;
    std::vector<double> spark;
};

// The image of a style, `side` points square at the device pixel ratio, in `ink`, ringed by a thin
// `outline` when one is given.
QImage image(MenuBarItemStyle style, const Reading& reading, int side, qreal devicePixelRatio, const QColor& ink,
             const std::optional<QColor>& outline = std::nullopt);

}  // namespace MenuBarGlyph
