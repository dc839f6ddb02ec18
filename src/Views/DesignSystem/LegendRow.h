#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QIcon>
#include <QWidget>

class DotView;
class IconImageView;
class TextLabel;

// A legend line at 14: an 8-point dot of the colour, the optional 18-point icon, the label and,
// at the trailing end, the value in the secondary style.
class LegendRow : public QWidget {
    Q_OBJECT
public:
    LegendRow(const DynamicColor& color, const QString& label, const QString& value, const QIcon& icon = {}, QWidget* parent = nullptr);

    void setColor(const DynamicColor& color);
    void setLabel(const QString& label);
    void setValue(const QString& value);
    void setIcon(const QIcon& icon);  // a null icon hides it

private:
    DotView* dot_;
    IconImageView* icon_;
    TextLabel* label_;
    TextLabel* value_;
};
