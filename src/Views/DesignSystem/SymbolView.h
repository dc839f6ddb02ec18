#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

// One symbol on its own, tinted like text, as large as its glyph square.
class SymbolView : public QWidget {
    Q_OBJECT
public:
    SymbolView(const QString& symbol, qreal size, const DynamicColor& color = DynamicColor::primary(), QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setColor(const DynamicColor& color, qreal opacity = 1);
    void setMirroredInRightToLeft(bool mirrored);  // for symbols that point along the reading direction

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    qreal size_;
    DynamicColor color_;
    qreal opacity_ = 1;
    bool mirroredInRightToLeft_ = false;
};
