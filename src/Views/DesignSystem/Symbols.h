#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <utility>
#include <vector>

class QPainter;

// The interface's symbols, named as the screens name them ("folder.fill", "chevron.forward") and
// drawn as a glyph of the Material Icons font, picked by its ligature name and tinted like text.
// A symbol of size s is drawn on a square of glyphSize(s), the Material grid that matches the
// visual weight of text at s pixels.
namespace Symbols {

// The Material Icons name drawn for `symbol`; empty for a name that is not in the table.
QString materialName(const QString& symbol);

// Every symbol name with its Material Icons name, sorted by symbol name.
const std::vector<std::pair<QString, QString>>& table();

qreal glyphSize(qreal symbolSize);
QFont font(qreal symbolSize);

// Draws `symbol` centred in `box`; `mirrored` flips it left for right (directional symbols in a
// right-to-left layout, where a screen asks for that). An unknown name draws nothing.
void paint(QPainter& painter, const QRectF& box, const QString& symbol, qreal symbolSize, const QColor& color, bool mirrored = false);

}  // namespace Symbols
