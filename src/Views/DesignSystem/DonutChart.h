#pragma once

#include "Views/DesignSystem/DonutSegment.h"

#include <QWidget>

#include <vector>

class TextLabel;
class Transition;

// A ring of shares over a DS.track ring, starting at twelve o'clock and running clockwise, each
// share ending a small gap (0.006 of a turn) early; a title (20 bold, shrinking to 60 %) and a
// subtitle (12, secondary) in the middle. Square, fitted to the space offered; a change of the
// values eases over 0.4 s.
class DonutChart : public QWidget {
    Q_OBJECT
public:
    DonutChart(const std::vector<DonutSegment>& segments, const QString& title, const QString& subtitle, qreal lineWidth,
               QWidget* parent = nullptr);

    void setSegments(const std::vector<DonutSegment>& segments);
    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);

    // Where each segment's arc runs, in fractions of a turn from twelve o'clock, clockwise.
    struct Arc {
        double start = 0;
        double end = 0;
    };
    static std::vector<Arc> arcs(const std::vector<DonutSegment>& segments);
    static constexpr double gap = 0.006;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF ringSquare() const;

    std::vector<DonutSegment> segments_;
    qreal lineWidth_;
    std::vector<Arc> startArcs_;  // the arcs when the running transition began
    Transition* transition_;
    TextLabel* title_;
    TextLabel* subtitle_;
};
