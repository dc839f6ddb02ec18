#include "Views/Uninstaller/ArtifactRow.h"

#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/Storage/BucketActions.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Uninstaller/ArtifactCategoryPresentation.h"

#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

ArtifactRow::ArtifactRow(const AppArtifact& artifact, const QIcon& icon, double fraction, std::function<void(bool)> setSelected, QWidget* parent)
    : QWidget(parent), artifact_(artifact), setSelected_(std::move(setSelected)), fraction_(fraction) {
    setAttribute(Qt::WA_Hover);
    const DynamicColor tint = ArtifactCategoryPresentation::tint(artifact_.category);
    const QString name = DisplayText::name(artifact_.path.filename());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 0, 0, 0);
    row->setSpacing(0);
    check_ = new ToolCheckBox(tint);
    check_->setAccessibleName(name);
    connect(check_, &QAbstractButton::clicked, this, [this](bool on) {
        check_->setChecked(ticked_);  // the caller reports the new tick back
        setSelected_(on);
    });
    row->addWidget(check_);
    ranked_ = new RankedRow(icon, ArtifactCategoryPresentation::symbol(artifact_.category), name, DisplayText::path(artifact_.path.parent_path()),
                            ByteFormatting::string(artifact_.size), fraction, tint);
    // Its clicks reach this row (it does not take them), so anywhere on it flips the tick.
    row->addWidget(ranked_, 1);
    setToolTip(plainToolTip(DisplayText::path(artifact_.path)));
    dimming_ = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(dimming_);
    setTicked(artifact_.isSelected);
}

void ArtifactRow::setTicked(bool ticked) {
    ticked_ = ticked;
    check_->setChecked(ticked);
    dimming_->setOpacity(shownOpacity());
}

double ArtifactRow::shownOpacity() const { return ticked_ ? 1.0 : 0.55; }

void ArtifactRow::paintEvent(QPaintEvent*) {
    if (!hovering_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved());
}

void ArtifactRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) setSelected_(!ticked_);
}

void ArtifactRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void ArtifactRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void ArtifactRow::contextMenuEvent(QContextMenuEvent* event) { BucketActions::showRevealMenu(this, event->globalPos(), artifact_.path); }
