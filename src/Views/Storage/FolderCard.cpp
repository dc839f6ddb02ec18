#include "Views/Storage/FolderCard.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Common/PlainToolTip.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

FolderCard::FolderCard(StorageBucket bucket, double share, DynamicColor color, bool isSelected, std::function<void()> onSelect,
                       BucketActions::Focus onFocus, QWidget* parent)
    : QWidget(parent), bucket_(std::move(bucket)), color_(color), selected_(isSelected), onSelect_(std::move(onSelect)),
      onFocus_(std::move(onFocus)) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(plainToolTip(DisplayText::path(bucket_.path)));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 14, 14, 14);
    row->setSpacing(12);
    row->addSpacing(4 + 12);  // the colour strip, painted, and its gap (a spacer gets no layout spacing)
    auto* stack = new QVBoxLayout;
    stack->setSpacing(8);
    auto* top = new QHBoxLayout;
    top->addWidget(new TextLabel(DisplayText::name(bucket_.name()), Fonts::system(14, QFont::DemiBold)), 1);
    top->addSpacing(6);
    top->addWidget(new TextLabel(share < 0.01 ? Fmt::finePercent(share) : Fmt::percent(share), Fonts::system(12, QFont::Medium),
                                 DynamicColor::secondary()));
    stack->addLayout(top);
    stack->addWidget(new TextLabel(ByteFormatting::string(bucket_.size), Fonts::system(20, QFont::Bold)));
    stack->addWidget(new ThinBar(share, color_, 4));
    auto* files = new QHBoxLayout;
    files->setSpacing(5);
    files->addWidget(new SymbolView(SymbolImage{.symbol = "doc", .size = 12, .color = DynamicColor::secondary()}));
    files->addWidget(new TextLabel(AppLocalization::format("storage.filesCount", {AppLocalization::activeLocale().toString(qlonglong(bucket_.fileCount))}),
                                   Fonts::system(12), DynamicColor::secondary()), 1);
    stack->addLayout(files);
    row->addLayout(stack, 1);
    for (QWidget* child : findChildren<QWidget*>()) child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FolderCard::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

void FolderCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = ContinuousShape::roundedRect(box, 12);
    painter.fillPath(shape, selected_ ? color_.resolved(0.14) : DS::raised.resolved());
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const QRectF strip(rtl ? width() - 14 - 4 : 14, 14, 4, height() - 28);
    painter.fillPath(ContinuousShape::capsule(strip), color_.resolved());
    double borderOpacity = 0;
    qreal line = 1;
    if (selected_) {
        borderOpacity = 1;
        line = 2;
    } else {
        const double t = hoverFade_.progress();
        borderOpacity = hovering_ ? 0.4 * t : 0.4 * (1 - t);
    }
    if (borderOpacity > 0) {
        painter.setPen(QPen(color_.resolved(borderOpacity), line));
        painter.drawPath(ContinuousShape::roundedRect(QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2), 12));
    }
}

void FolderCard::enterEvent(QEnterEvent*) {
    hovering_ = true;
    hoverFade_.start();
}

void FolderCard::leaveEvent(QEvent*) {
    hovering_ = false;
    hoverFade_.start();
}

void FolderCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onSelect_) onSelect_();
}

void FolderCard::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (onSelect_) onSelect_();
    if (onFocus_) onFocus_(bucket_);
}

void FolderCard::contextMenuEvent(QContextMenuEvent* event) { BucketActions::showMenu(this, event->globalPos(), bucket_, onFocus_); }
