#pragma once

#include "Models/ScanSnapshot.h"
#include "Views/DesignSystem/Transition.h"

#include <memory>

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

// The overview's capacity bar, left to right in every language: the five largest folders of the last
// scan in rank colours, the rest of the used space, the blocks kept for root, then the free space.
// A new scan total (or the first scan, or none) eases the bar from what it showed to its new widths.
// Without a scan it is the used space, the blocks kept for root and the free space, as the monitor's
// disk page shows them too.
class CapacityBar : public QWidget {
    Q_OBJECT
public:
    static constexpr double spacing = 3;

    struct Segment {
        double width = 0;  // 0 for the free space, which takes what is left
        int rank = -1;  // 0 to 4 for a folder, -1 for the rest of the used space, -2 for the free space, -3 for the reserve
    };
    // Widths for a bar of `barWidth`; with no folders or no capacity, one used capsule and the free space.
    // `buckets` come largest first, as a snapshot holds them.
    static std::vector<Segment> segments(const std::vector<StorageBucket>& buckets, std::int64_t total, std::int64_t available,
                                         double barWidth, std::int64_t reserved = 0);

    // The bar as drawn: one slot per folder rank 0 to 4, then the rest of the used space, then the
    // free space. A slot that a bar lacks has width and presence 0; the free slot's width is what
    // the others leave.
    struct Shape {
        static constexpr std::size_t count = 8, rest = 5, reserved = 6, free = 7;
        std::array<double, count> width{};
        std::array<double, count> presence{};  // 1 when the slot is drawn, with the spacing after it
        double restOpacity = 1;  // 0.45 beside folders, 1 on its own
    };
    static Shape shapeOf(const std::vector<Segment>& segments);

    explicit CapacityBar(int height = 12, QWidget* parent = nullptr);
    void setFigures(std::shared_ptr<const ScanSnapshot> snapshot, std::int64_t total, std::int64_t available, std::int64_t reserved = 0);
    QSize sizeHint() const override { return QSize(300, height()); }

    // What is on screen now, part of the way from the last bar to the new one while it eases.
    Shape shownShape() const;
    const Transition& ease() const { return ease_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Shape targetShape() const;

    std::shared_ptr<const ScanSnapshot> snapshot_;
    std::int64_t total_ = 0;
    std::int64_t available_ = 0;
    std::int64_t reserved_ = 0;
    std::optional<std::int64_t> scanTotal_;  // of the snapshot shown; none without one
    std::optional<Shape> lastPainted_;
    Shape easeFrom_;
    Transition ease_{this, Ease::capacityBarMs};
};
