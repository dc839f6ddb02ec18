#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class IconBadge;
class QHBoxLayout;
class QVBoxLayout;
class TextLabel;

// A tinted notice: a 34-point badge, the title (15 semibold) over the detail (13, secondary,
// wrapping over as many lines as it needs) and the caller's action widgets at the trailing end;
// padded 18 on the tint at 12 % in a rounded rectangle of radius 14, outlined in the tint at 18 %.
class Banner : public QWidget {
    Q_OBJECT
public:
    Banner(const QString& symbol, const QString& title, const QString& detail, const DynamicColor& tint, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setTitle(const QString& title);
    void setDetail(const QString& detail);
    void setTint(const DynamicColor& tint);

    // Where the caller puts its buttons.
    QHBoxLayout* actionsLayout() const { return actions_; }
    // The title and the detail; the caller may add more beneath them.
    QVBoxLayout* textsLayout() const { return texts_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor tint_;
    IconBadge* badge_;
    TextLabel* title_;
    TextLabel* detail_;
    QVBoxLayout* texts_;
    QHBoxLayout* actions_;
};
