#pragma once

#include "Models/ScanSnapshot.h"

#include <memory>

#include <QWidget>

#include <vector>

// The overview's capacity bar, left to right in every language: the five largest folders of the last
// scan in rank colours, the rest of the used space, then the free space.
class CapacityBar : public QWidget {
    Q_OBJECT
public:
    static constexpr double spacing = 3;

    struct Segment {
        double width = 0;  // 0 for the free space, which takes what is left
        int rank = -1;  // 0 to 4 for a folder, -1 for the rest of the used space, -2 for the free space
    };
    // Widths for a bar of `barWidth`; with no folders or no capacity, one used capsule and the free space.
    // `buckets` come largest first, as a snapshot holds them.
    static std::vector<Segment> segments(const std::vector<StorageBucket>& buckets, std::int64_t total, std::int64_t available,
                                         double barWidth);

    explicit CapacityBar(QWidget* parent = nullptr);
    void setFigures(std::shared_ptr<const ScanSnapshot> snapshot, std::int64_t total, std::int64_t available);
    QSize sizeHint() const override { return QSize(300, 12); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::shared_ptr<const ScanSnapshot> snapshot_;
    std::int64_t total_ = 0;
    std::int64_t available_ = 0;
};
