#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QAbstractButton>

// A plain button that is just a symbol: no background, the whole frame reacts; it dims while pressed.
class SymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    SymbolButton(const QString& symbol, qreal size, const DynamicColor& color, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setColor(const DynamicColor& color, qreal opacity = 1);
    void setFrameSize(const QSize& size);  // the hit area; the glyph square when not set
    void setMirroredInRightToLeft(bool mirrored);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    qreal size_;
    DynamicColor color_;
    qreal opacity_ = 1;
    QSize frameSize_;
    bool mirroredInRightToLeft_ = false;
};
