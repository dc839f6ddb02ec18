#pragma once

#include "Models/StorageBucket.h"
#include "Views/DesignSystem/Transition.h"
#include "Views/Storage/StorageRankPalette.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class BucketSelection;

// The thin proportional bar of the eight largest entries with a legend of the first five; the rest
// is one gray capsule. Clicking a segment or a legend item selects that entry on the whole screen.
class StorageRibbon : public QWidget {
    Q_OBJECT
public:
    static constexpr double gap = 2;
    static constexpr double minimumSegment = 3;

    // Each segment's width: the bar less one gap per segment, shared by size of the scan, at least 3.
    static std::vector<double> segmentWidths(const std::vector<std::int64_t>& sizes, double denominator, double barWidth);

    explicit StorageRibbon(BucketSelection* selection, QWidget* parent = nullptr);

    // `buckets` largest first, as a snapshot holds them.
    void setBuckets(const std::vector<StorageBucket>& buckets, std::int64_t totalSize, StorageRankPalette palette);

    struct Segment {
        StorageBucket bucket;  // empty id for the gray rest
        QRectF rect;
        double opacity = 1;
    };
    std::vector<Segment> segments() const;
    // Legend items of the first five shown entries, with their click rectangles.
    std::vector<std::pair<StorageBucket, QRectF>> legendItems() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, sizeHint().height()); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    bool event(QEvent*) override;

private:
    double denominator() const { return double(std::max<std::int64_t>(totalSize_, 1)); }
    double opacityFor(const std::optional<std::string>& selected, const std::string& id) const;
    QString legendText(const StorageBucket& bucket) const;

    QPointer<BucketSelection> selection_;
    std::vector<StorageBucket> shown_;
    std::int64_t restSize_ = 0;
    std::int64_t totalSize_ = 0;
    StorageRankPalette palette_;
    std::optional<std::string> previousSelection_;
    std::optional<std::string> currentSelection_;
    Transition fade_{this, 200, QEasingCurve::OutCubic};
};
