#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

// A small capsule label in its tint: the optional symbol (11 bold) and the text (13 semibold) on
// the tint at 15 %, padded 10 by 5.
class Pill : public QWidget {
    Q_OBJECT
public:
    Pill(const QString& text, const QString& symbol, const DynamicColor& tint, QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setSymbol(const QString& symbol);  // empty: text only
    void setTint(const DynamicColor& tint);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QString symbol_;
    DynamicColor tint_;
};
