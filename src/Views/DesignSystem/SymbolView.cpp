#include "Views/DesignSystem/SymbolView.h"

#include <QPainter>

SymbolView::SymbolView(const SymbolImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolView::setImage(const SymbolImage& image) {
    image_ = image;
    updateGeometry();
    update();
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    image_.paint(painter, rect(), isRightToLeft());
}
