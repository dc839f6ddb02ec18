#pragma once

#include "Views/DesignSystem/BarShapes.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QPixmap>
#include <QWidget>

#include <optional>
#include <vector>

class Transition;

// The latest samples as bars, newest on the right in every language: the last `barCount` values,
// zeros in front when there are fewer, scaled to `maxValue` (or the largest value). A bar above
// 1 % of the scale is at least 3 high in the full tint; any other is 2 high at 45 %. On the tint
// at 12 % in a rounded rectangle of radius 12, `height` high; a change in the number of bars
// that hold values eases the bars to their new heights over 0.35 s.
class BarSparkline : public QWidget {
    Q_OBJECT
public:
    BarSparkline(const std::vector<double>& values, const DynamicColor& tint, std::optional<double> maxValue, int barCount, qreal height,
                 QWidget* parent = nullptr);

    void setValues(const std::vector<double>& values);
    const std::vector<double>& values() const { return values_; }
    void setTint(const DynamicColor& tint);
    void setMaxValue(std::optional<double> maxValue);
    void setBarCount(int barCount);
    // The opaque colour the sparkline stands on (a card's fill). Given, the sparkline paints it
    // itself, and nothing under it is painted again when its bars move.
    void setBackdrop(const DynamicColor& backdrop);

    struct Bar {
        QRectF rect;  // within the bar area, bottom at its lower edge
        bool flat;    // no real share: drawn 2 high at 45 %
    };
    // The bars for an area of `size` (inside the sparkline's padding).
    static std::vector<Bar> bars(const std::vector<double>& values, std::optional<double> maxValue, int barCount, const QSizeF& size);
    static constexpr qreal padding = 10, spacing = 3;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The bars as they stand at this moment of the transition, in the sparkline's own coordinates.
    std::vector<Bar> shownBars() const;
    // The strip of the sparkline that one bar can cover: bars never share one.
    QRect column(const Bar& bar) const;
    // Repaints only the bars that moved since they were last painted; a new sample every second
    // or an easing step then costs a few bars, not the whole sparkline.
    void repaintMoved();
    void repaintAll();
    const QPixmap& background();

    std::vector<double> values_;
    DynamicColor tint_;
    std::optional<double> maxValue_;
    int barCount_;
    qreal height_;
    std::vector<qreal> startHeights_;  // bar heights when the running transition began
    Transition* transition_;
    std::vector<std::optional<Bar>> painted_;  // as last painted; none where not wholly painted
    std::optional<DynamicColor> backdrop_;
    QPixmap background_;
    std::pair<QColor, QColor> backgroundColors_;  // backdrop and tint the cached background shows
    BarShapes shapes_;
};
