#include "Views/Overview/QuickTile.h"

#include "Models/AppLocalization.h"
#include "Views/Shell/AppSectionPresentation.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

// The hover outline, drawn over the card.
class QuickTile::Outline : public QWidget {
public:
    explicit Outline(QuickTile* tile) : QWidget(tile), tile_(tile) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override {
        const double t = tile_->hoverFade_.progress();
        const double opacity = 0.45 * (tile_->hovering_ ? t : 1 - t);
        if (opacity <= 0) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(AppSectionPresentation::tint(tile_->section_).resolved(opacity), 1));
        painter.drawPath(ContinuousShape::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 16));
    }

private:
    QuickTile* tile_;
};

QuickTile::QuickTile(AppSection section, const QString& detail, QWidget* parent) : QAbstractButton(parent), section_(section) {
    const DynamicColor tint = AppSectionPresentation::tint(section);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);  // tiles share a row and may shrink
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* card = new CardModifier(18, 16);
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(new IconBadge(AppSectionPresentation::symbol(section), tint, 38));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* title = new TextLabel(AppLocalization::string(AppSectionPresentation::tabTitleKey(section)), Fonts::system(15, QFont::DemiBold), tint);
    auto* description = new TextLabel(detail, Fonts::system(13), DynamicColor::secondary());
    for (TextLabel* label : {title, description}) {
        label->setMinimumWidth(1);  // four tiles share a row: long texts elide instead of widening the page
        texts->addWidget(label);
    }
    row->addLayout(texts, 1);
    row->addSpacing(4);
    row->addWidget(new SymbolView(SymbolImage{.symbol = "chevron.forward", .size = 12, .color = DynamicColor::tertiary(), .mirroredInRightToLeft = true}));
    card->contentLayout()->addLayout(row);
    outer->addWidget(card);
    for (QWidget* child : findChildren<QWidget*>()) child->setAttribute(Qt::WA_TransparentForMouseEvents);
    outline_ = new Outline(this);
}

void QuickTile::resizeEvent(QResizeEvent*) {
    outline_->setGeometry(rect());
    outline_->raise();
}

QSize QuickTile::sizeHint() const { return layout()->sizeHint(); }

void QuickTile::enterEvent(QEnterEvent*) {
    hovering_ = true;
    hoverFade_.start();
    outline_->update();
}

void QuickTile::leaveEvent(QEvent*) {
    hovering_ = false;
    hoverFade_.start();
    outline_->update();
}
