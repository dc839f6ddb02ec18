#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <functional>

class IconBadge;
class SymbolButton;
class TextLabel;

// A card's title row: a 30-point badge, the title in the tint (16 semibold) and, only when an
// action is given, a chevron button at the trailing end (mirrored in right-to-left layouts).
class CardHeader : public QWidget {
    Q_OBJECT
public:
    CardHeader(const QString& title, const QString& symbol, const DynamicColor& tint, std::function<void()> action = {},
               QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setSymbol(const QString& symbol);
    void setTint(const DynamicColor& tint);
    void setAction(std::function<void()> action);  // an empty action removes the chevron

    SymbolButton* chevron() const { return chevron_; }

private:
    IconBadge* badge_;
    TextLabel* title_;
    SymbolButton* chevron_;
    std::function<void()> action_;
};
