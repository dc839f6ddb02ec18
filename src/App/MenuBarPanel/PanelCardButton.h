#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QAbstractButton>

class QBoxLayout;

// A plain button made of other widgets: the whole rectangle takes the press, over an optional fill
// in a continuous rounded rectangle. Its content goes in contentLayout().
class PanelCardButton : public QAbstractButton {
    Q_OBJECT
public:
    PanelCardButton(Qt::Orientation orientation, const DynamicColor& fill, qreal fillOpacity, qreal radius, QWidget* parent = nullptr);

    QBoxLayout* contentLayout() const { return layout_; }
    // Children show the content but leave the press to the button.
    void addContent(QWidget* widget, int stretch = 0, Qt::Alignment alignment = {});

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor fill_;
    qreal fillOpacity_;
    qreal radius_;
    QBoxLayout* layout_;
};
