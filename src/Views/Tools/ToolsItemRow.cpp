#include "Views/Tools/ToolsItemRow.h"

#include "Services/AppState.h"
#include "Views/Common/FileIcon.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Models/AppLocalization.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Tools/ToolsValueColumn.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

ToolsItemRow::ToolsItemRow(Item item, const DynamicColor& tint, QWidget* parent) : QWidget(parent), isOn_(item.isOn) {
    setAttribute(Qt::WA_Hover);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 9, 14, 9);
    row->setSpacing(14);

    check_ = new ToolCheckBox(tint);
    connect(check_, &QAbstractButton::clicked, this, [this](bool on) {
        if (!isLocked_) isOn_.set(on);
        follow();
    });
    row->addWidget(check_);
    icon_ = new IconImageView(QIcon(), 32);
    row->addWidget(icon_);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    title_ = new TextLabel({}, Fonts::system(14, QFont::DemiBold));
    title_->setObjectName("rowTitle");
    texts->addWidget(title_);
    subtitle_ = new TextLabel({}, Fonts::system(12), DynamicColor::secondary());
    subtitle_->setObjectName("rowSubtitle");
    subtitle_->setElideMode(Qt::ElideMiddle);
    texts->addWidget(subtitle_);
    row->addLayout(texts, 1);
    row->addSpacing(12);

    accessories_ = new QHBoxLayout;  // empty, it takes no room
    accessories_->setSpacing(6);
    row->addLayout(accessories_);

    value_ = new ToolsValueColumn({}, 0, tint);
    value_->setObjectName("rowValue");
    row->addWidget(value_);

    connect(&isOn_.state(), &AppState::selectedToolItemsChanged, this, &ToolsItemRow::follow);
    setItem(std::move(item));
}

void ToolsItemRow::setItem(Item item) {
    isOn_ = std::move(item.isOn);
    isLocked_ = item.isLocked;
    path_ = std::move(item.path);
    check_->setEnabled(!isLocked_);
    check_->setAccessibleName(item.title);
    icon_->setIcon(fileIcon(path_));
    title_->setText(item.title);
    subtitle_->setText(item.subtitle);
    // A long reason or path cut short on a narrow row is read whole here.
    subtitle_->setToolTip(item.subtitle.isEmpty() ? QString() : plainToolTip(item.subtitle));
    if (accessory_ != item.accessory) {
        delete accessory_;
        accessory_ = item.accessory;
        if (accessory_) accessories_->addWidget(accessory_);
    }
    value_->setValue(item.value);
    value_->setFraction(item.fraction);
    fitValue();
    follow();
}

void ToolsItemRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitValue();
}

void ToolsItemRow::fitValue() {
    // The row's width were the value whole, from the layout's own hint with the value's present cap
    // taken out, so that capping it never feeds back into the next look.
    const int valueWidth = value_->sizeHint().width();
    const int whole = layout()->sizeHint().width() - std::min(valueWidth, value_->maximumWidth()) + valueWidth;
    const int lacking = whole - width();
    const int cap = lacking > 0 ? std::max(value_->minimumWidth(), valueWidth - lacking) : QWIDGETSIZE_MAX;
    if (cap != value_->maximumWidth()) value_->setMaximumWidth(cap);
    value_->setToolTip(cap < valueWidth ? plainToolTip(value_->value()) : QString());
}

QString ToolsItemRow::value() const { return value_->value(); }

double ToolsItemRow::fraction() const { return value_->fraction(); }

bool ToolsItemRow::isHighlighted() const { return !isLocked_ && (isOn() || hovering_); }

void ToolsItemRow::follow() {
    check_->setChecked(isOn());
    update();
}

void ToolsItemRow::paintEvent(QPaintEvent*) {
    if (isLocked_) return;  // the kept copy is never highlighted
    const double opacity = isOn() ? 1 : hovering_ ? 0.7 : 0;
    if (opacity == 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved(opacity));
}

void ToolsItemRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    if (!isLocked_) isOn_.set(!isOn());
    follow();
}

void ToolsItemRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void ToolsItemRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void ToolsItemRow::contextMenuEvent(QContextMenuEvent* event) {
    const std::filesystem::path path = path_;  // kept if the list drops the row meanwhile
    const GuardedMenu menu(this);
    QAction* reveal = menu->addAction(AppLocalization::string("action.reveal"));
    if (menu->exec(event->globalPos()) == reveal) FileActions::reveal(path);
}
