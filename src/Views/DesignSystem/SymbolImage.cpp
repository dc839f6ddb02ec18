#include "Views/DesignSystem/SymbolImage.h"

#include "Views/DesignSystem/Symbols.h"

#include <cmath>

QSize SymbolImage::glyphBox() const {
    const int side = int(std::ceil(Symbols::glyphSize(size)));
    return {side, side};
}

void SymbolImage::paint(QPainter& painter, const QRectF& box, bool rightToLeft) const {
    Symbols::paint(painter, box, symbol, size, color.resolved(opacity), mirroredInRightToLeft && rightToLeft);
}
