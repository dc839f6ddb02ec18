#include "Views/DesignSystem/Banner.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

Banner::Banner(const QString& symbol, const QString& title, const QString& detail, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent),
      tint_(tint),
      badge_(new IconBadge(symbol, tint, 34)),
      title_(new TextLabel(title, Fonts::system(15, QFont::DemiBold))),
      detail_(new TextLabel(detail, Fonts::system(13), DynamicColor::secondary())),
      texts_(new QVBoxLayout),
      actions_(new QHBoxLayout) {
    detail_->setWordWrap(true);
    texts_->setSpacing(3);
    texts_->addWidget(title_);
    texts_->addWidget(detail_);

    actions_->setSpacing(8);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 18, 18, 18);
    row->setSpacing(16);
    row->addWidget(badge_);
    row->addLayout(texts_, 1);
    row->addLayout(actions_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void Banner::setSymbol(const QString& symbol) { badge_->setSymbol(symbol); }
void Banner::setTitle(const QString& title) { title_->setText(title); }
void Banner::setDetail(const QString& detail) { detail_->setText(detail); }

void Banner::setTint(const DynamicColor& tint) {
    tint_ = tint;
    badge_->setTint(tint);
    update();
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ContinuousShape::paintSurface(painter, rect(), 14, tint_.resolved(0.12), tint_.resolved(0.18));
}
