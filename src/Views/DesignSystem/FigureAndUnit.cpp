#include "Views/DesignSystem/FigureAndUnit.h"

#include "Views/DesignSystem/TextLabel.h"

#include <QEvent>

#include <algorithm>
#include <cmath>

FigureAndUnit::FigureAndUnit(const QFont& valueFont, const QFont& unitFont, int spacing, qreal minimumScale, QWidget* parent)
    : QWidget(parent),
      value_(new TextLabel({}, valueFont, DynamicColor::primary(), this)),
      unit_(new TextLabel({}, unitFont, DynamicColor::secondary(), this)),
      spacing_(spacing) {
    value_->setMinimumScaleFactor(minimumScale);
    unit_->hide();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void FigureAndUnit::setValue(const QString& value) {
    value_->setText(value);
    updateGeometry();
    place();
}

void FigureAndUnit::setUnit(const QString& unit) {
    unit_->setText(unit);
    unit_->setVisible(!unit.isEmpty());
    updateGeometry();
    place();
}

FigureAndUnit::Lines FigureAndUnit::lines() const {
    const int valueHeight = value_->sizeHint().height();
    if (unit_->isHidden()) return {0, 0, valueHeight};
    const int unitHeight = unit_->sizeHint().height();
    const qreal valueBaseline = value_->baselineAt(valueHeight), unitBaseline = unit_->baselineAt(unitHeight);
    const qreal baseline = std::max(valueBaseline, unitBaseline);
    Lines result{int(std::lround(baseline - valueBaseline)), int(std::lround(baseline - unitBaseline)), 0};
    result.height = std::max(result.valueTop + valueHeight, result.unitTop + unitHeight);
    return result;
}

int FigureAndUnit::unitWidth() const { return unit_->isHidden() ? 0 : spacing_ + unit_->sizeHint().width(); }

QSize FigureAndUnit::sizeHint() const { return {value_->sizeHint().width() + unitWidth(), lines().height}; }

QSize FigureAndUnit::minimumSizeHint() const { return {value_->minimumSizeHint().width() + unitWidth(), lines().height}; }

void FigureAndUnit::place() {
    const Lines at = lines();
    const int top = std::max(0, height() - at.height);  // at the bottom of a taller box, as a row's figures sit
    const int valueWidth = std::clamp(width() - unitWidth(), 0, value_->sizeHint().width());
    // The pair reads left to right, and as a whole keeps to the leading edge.
    const int left = layoutDirection() == Qt::RightToLeft ? std::max(0, width() - valueWidth - unitWidth()) : 0;
    value_->setGeometry(left, top + at.valueTop, valueWidth, value_->sizeHint().height());
    if (!unit_->isHidden())
        unit_->setGeometry(left + valueWidth + spacing_, top + at.unitTop, unit_->sizeHint().width(), unit_->sizeHint().height());
}

bool FigureAndUnit::event(QEvent* event) {
    // A label's new font or text asks its parent for a new layout.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::LayoutDirectionChange) {
        updateGeometry();
        place();
    }
    return QWidget::event(event);
}

void FigureAndUnit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}
