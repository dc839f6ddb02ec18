#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

// A symbol in its tint on a rounded square of the tint at 16 %: side `size`, symbol size × 0.5,
// corner radius size × 0.28.
class IconBadge : public QWidget {
    Q_OBJECT
public:
    IconBadge(const QString& symbol, const DynamicColor& tint, qreal size, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setTint(const DynamicColor& tint);

    QSize sizeHint() const override;

    // Draws a badge into `box` (a square); for components that paint badges themselves.
    static void paint(QPainter& painter, const QRectF& box, const QString& symbol, const DynamicColor& tint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    DynamicColor tint_;
    qreal size_;
};
