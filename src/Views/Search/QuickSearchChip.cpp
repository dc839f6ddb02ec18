#include "Views/Search/QuickSearchChip.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr qreal horizontalPadding = 11, verticalPadding = 6;

SymbolTextRow labelRow(const QuickSearch& item, const QString& title) { return {item.symbol, 11, title, Fonts::system(13, QFont::DemiBold), 6}; }

}  // namespace

QuickSearchChip::QuickSearchChip(const QuickSearch& item, QWidget* parent) : QAbstractButton(parent), item_(item) {
    setText(AppLocalization::string(item_.title));
    setAccessibleName(text());
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize QuickSearchChip::sizeHint() const {
    const QSizeF content = labelRow(item_, text()).size();
    return {int(std::ceil(content.width() + 2 * horizontalPadding)), int(std::ceil(content.height() + 2 * verticalPadding))};
}

void QuickSearchChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::capsule(rect()), item_.tint.resolved(isDown() ? 0.22 : 0.14));
    const QRectF inner = QRectF(rect()).adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding);
    labelRow(item_, text()).paint(painter, inner, item_.tint.resolved(), isRightToLeft());
}
