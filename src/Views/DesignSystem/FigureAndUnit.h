#pragma once

#include <QWidget>

class TextLabel;

// A large figure with its unit on its right, left to right in every language, the pair at the
// leading edge, the two on one text baseline. The baselines are those of the texts as shaped: Arabic-Indic digits come from a taller
// fallback font, and boxes aligned at their bottoms would leave the unit below the digits. The
// figure shrinks to `minimumScale` of its size before it elides; the unit keeps its size.
class FigureAndUnit : public QWidget {
    Q_OBJECT
public:
    FigureAndUnit(const QFont& valueFont, const QFont& unitFont, int spacing, qreal minimumScale, QWidget* parent = nullptr);

    void setValue(const QString& value);
    void setUnit(const QString& unit);  // empty: no unit

    TextLabel* valueLabel() const { return value_; }
    TextLabel* unitLabel() const { return unit_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The two texts' tops and the height that holds them, their baselines on one line.
    struct Lines {
        int valueTop = 0, unitTop = 0, height = 0;
    };
    Lines lines() const;
    int unitWidth() const;
    void place();

    TextLabel* value_;
    TextLabel* unit_;
    int spacing_;
};
