#include "Views/Search/QuickSearchChip.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr qreal chipHorizontalPadding = 11, chipVerticalPadding = 6;

SymbolTextRow chipLabelRow(const QuickSearch& item, const QString& title) { return {item.symbol, 11, title, Fonts::system(13, QFont::DemiBold), 6}; }

}  // namespace

QuickSearchChip::QuickSearchChip(const QuickSearch& item, QWidget* parent) : QAbstractButton(parent), item_(item) {
    setText(AppLocalization::string(item_.title));
    setAccessibleName(text());
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize QuickSearchChip::sizeHint() const {
    const QSizeF content = chipLabelRow(item_, text()).size();
    return {int(std::ceil(content.width() + 2 * chipHorizontalPadding)), int(std::ceil(content.height() + 2 * chipVerticalPadding))};
}

void QuickSearchChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::capsule(rect()), item_.tint.resolved(isDown() ? 0.22 : 0.14));
    const QRectF inner = QRectF(rect()).adjusted(chipHorizontalPadding, chipVerticalPadding, -chipHorizontalPadding, -chipVerticalPadding);
    chipLabelRow(item_, text()).paint(painter, inner, item_.tint.resolved(), isRightToLeft());
}
