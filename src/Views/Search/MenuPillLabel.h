#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QAbstractButton>

// The capsule that opens one of the search screen's menus: the symbol (12 semibold) and the title
// (13 medium, one line) in the tint, then a small secondary chevron, 30 high on DS.track. The whole
// capsule takes clicks; what opens is the caller's.
class MenuPillLabel : public QAbstractButton {
    Q_OBJECT
public:
    MenuPillLabel(const QString& symbol, const QString& title, const DynamicColor& tint, QWidget* parent = nullptr);

    void setContent(const QString& symbol, const QString& title);
    const QString& symbol() const { return symbol_; }
    const DynamicColor& tint() const { return tint_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    DynamicColor tint_;
};
