#pragma once

#include <QFont>

// The interface's type: sizes are pixels at 1x, as the layouts' literal sizes are. Noto Sans and
// DejaVu Sans both draw digits of equal width, so figures line up without a font feature.
namespace Fonts {

QFont system(qreal size, QFont::Weight weight = QFont::Normal);
QFont monospaced(qreal size, QFont::Weight weight = QFont::Normal);

}  // namespace Fonts
