#include "Views/DesignSystem/CardModifier.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Keeps the content at the top unless it wants the height itself (an expanding item or a stretch).
// Aligning the layout to the top would do the same but lay wrapped text out at its size hint,
// cutting it short; this uses the height for the width the card gets.
class TopHuggingLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;

    void setGeometry(const QRect& rect) override {
        QRect used = rect;
        if (!(expandingDirections() & Qt::Vertical)) {
            const int wanted = hasHeightForWidth() ? heightForWidth(rect.width()) : sizeHint().height();
            used.setHeight(std::min(rect.height(), wanted));
        }
        QVBoxLayout::setGeometry(used);
    }
};

}  // namespace

CardModifier::CardModifier(qreal padding, qreal radius, QWidget* parent) : QWidget(parent), radius_(radius), layout_(new TopHuggingLayout(this)) {
    const int inset = int(std::lround(padding));
    layout_->setContentsMargins(inset, inset, inset, inset);
    layout_->setSpacing(0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardModifier::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // A repaint inside the card, clear of its corners and outline (a figure that changed), needs
    // only the fill: building and filling the rounded outline is the dear part of painting a card.
    const int corner = int(std::ceil(radius_ * 1.6)) + 1;
    const QRegion inside = QRegion(rect().adjusted(2, corner, -2, -corner)) + QRegion(rect().adjusted(corner, 2, -corner, -2));
    if ((event->region() - inside).isEmpty()) {
        for (const QRect& part : event->region()) painter.fillRect(part, DS::card.resolved());
        return;
    }
    ContinuousShape::paintSurface(painter, rect(), radius_, DS::card.resolved(), outlined_ ? DS::hairline.resolved() : QColor(Qt::transparent));
}

void CardModifier::setOutlined(bool outlined) {
    outlined_ = outlined;
    update();
}

CardModifier* card(QWidget* content, qreal padding, qreal radius) {
    auto* surface = new CardModifier(padding, radius);
    surface->contentLayout()->addWidget(content);
    return surface;
}
