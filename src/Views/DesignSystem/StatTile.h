#pragma once

#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"

class IconBadge;
class TextLabel;

// One figure as a card (padding 20, radius 16, at least 120 high): a 26-point badge and the
// title (14, secondary), the value (28 bold, shrinking to 60 %) and the caller's footer (none, or
// for instance a ThinBar).
class StatTile : public CardModifier {
    Q_OBJECT
public:
    StatTile(const QString& title, const QString& symbol, const DynamicColor& tint, const QString& value, QWidget* footer = nullptr,
             QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setSymbol(const QString& symbol);
    void setTint(const DynamicColor& tint);
    void setValue(const QString& value);

    TextLabel* valueLabel() const { return value_; }

    // At least 120 high, and never lower than its content: squeezed, the figure would be cut.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    IconBadge* badge_;
    TextLabel* title_;
    TextLabel* value_;
};
