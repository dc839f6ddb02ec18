#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QColor>

// A colour for text on the surfaces of its appearance (canvas, card, raised): as designed where it reads
// at a contrast of at least 4.5:1 on each, else moved towards black (light) or white (dark) and made more
// opaque just far enough. Fills keep the designed colours; white stays white, as it is drawn on tinted fills.
namespace ReadableText {

inline constexpr double minimumContrast = 4.5;

QColor color(const DynamicColor& color, bool dark);
QColor color(const DynamicColor& color);  // in the appearance in force

// The contrast ratio of an opaque text colour against an opaque background, 1 to 21.
double contrast(const QColor& text, const QColor& background);

// The text colour as seen on the background: composited by its alpha.
QColor composited(const QColor& text, const QColor& background);

}  // namespace ReadableText
