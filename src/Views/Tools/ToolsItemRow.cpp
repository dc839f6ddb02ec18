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
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Tools/ToolsValueColumn.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

ToolsItemRow::ToolsItemRow(ToolSelection isOn, bool isLocked, Content content, const DynamicColor& tint, QWidget* accessory, QWidget* parent)
    : QWidget(parent), isOn_(std::move(isOn)), isLocked_(isLocked), content_(std::move(content)) {
    setAttribute(Qt::WA_Hover);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 9, 14, 9);
    row->setSpacing(14);

    check_ = new ToolCheckBox(tint);
    check_->setEnabled(!isLocked_);
    check_->setAccessibleName(content_.title);
    connect(check_, &QAbstractButton::clicked, this, [this](bool on) {
        if (!isLocked_) isOn_.set(on);
        follow();
    });
    row->addWidget(check_);
    icon_ = new IconImageView(fileIcon(content_.path), 32);
    row->addWidget(icon_);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* title = new TextLabel(content_.title, Fonts::system(14, QFont::DemiBold));
    title->setObjectName("rowTitle");
    texts->addWidget(title);
    auto* subtitle = new TextLabel(content_.subtitle, Fonts::system(12), DynamicColor::secondary());
    subtitle->setElideMode(Qt::ElideMiddle);
    texts->addWidget(subtitle);
    row->addLayout(texts, 1);
    row->addSpacing(12);

    if (accessory) {
        auto* accessories = new QHBoxLayout;
        accessories->setSpacing(6);
        accessories->addWidget(accessory);
        row->addLayout(accessories);
    }

    value_ = new ToolsValueColumn(content_.value, content_.fraction, tint);
    value_->setObjectName("rowValue");
    row->addWidget(value_);

    connect(&isOn_.state(), &AppState::selectedToolItemsChanged, this, &ToolsItemRow::follow);
    follow();
}

void ToolsItemRow::setFraction(double fraction) {
    content_.fraction = fraction;
    value_->setFraction(fraction);
}

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
    const std::filesystem::path path = content_.path;  // kept if the list drops the row meanwhile
    const GuardedMenu menu(this);
    QAction* reveal = menu->addAction(AppLocalization::string("action.reveal"));
    if (menu->exec(event->globalPos()) == reveal) FileActions::reveal(path);
}
