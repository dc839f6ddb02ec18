#pragma once

#include <QWidget>

// The application's brand image (resources/brand/BrandMark.svg), `size` by `size`, drawn smooth.
class BrandMark : public QWidget {
    Q_OBJECT
public:
    explicit BrandMark(qreal size, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Draws the image into `box`; for window and tray icons.
    static void paint(QPainter& painter, const QRectF& box);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal size_;
};
