#pragma once

#include <QWidget>

class FigureAndUnit;
class TextLabel;

// A large figure: an optional caption (14, secondary) above the value (bold, `size`, shrinking to
// 60 % before it elides) with an optional unit (size × 0.5, medium, secondary) on its right, the two
// on one baseline. The value and its unit keep that order in every language.
class HeroValue : public QWidget {
    Q_OBJECT
public:
    HeroValue(const QString& caption, const QString& value, const QString& unit, qreal size, QWidget* parent = nullptr);

    void setCaption(const QString& caption);  // empty: no caption line
    void setValue(const QString& value);
    void setUnit(const QString& unit);  // empty: no unit

    TextLabel* valueLabel() const;
    TextLabel* unitLabel() const;
    FigureAndUnit* figure() const { return figure_; }

private:
    TextLabel* caption_;
    FigureAndUnit* figure_;
};
