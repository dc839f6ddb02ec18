#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class TextLabel;
class ThinBar;

// The trailing column of a tool row: the value (14 semibold, figures) over a 110-wide, 4-high bar
// of the row's share, at least 110 wide and aligned to the trailing edge.
class ToolsValueColumn : public QWidget {
    Q_OBJECT
public:
    ToolsValueColumn(const QString& value, double fraction, const DynamicColor& tint, QWidget* parent = nullptr);

    void setValue(const QString& value);
    void setFraction(double fraction);
    QString value() const;
    double fraction() const;

private:
    TextLabel* value_;
    ThinBar* bar_;
};
