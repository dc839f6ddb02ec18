#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

// A filled circle, the colour key of a legend or figure.
class DotView : public QWidget {
    Q_OBJECT
public:
    DotView(const DynamicColor& color, qreal diameter, QWidget* parent = nullptr);

    void setColor(const DynamicColor& color);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor color_;
    qreal diameter_;
};
