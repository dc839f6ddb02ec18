#pragma once

#include "Models/StorageBucket.h"
#include "Views/DesignSystem/Transition.h"
#include "Views/Storage/OrbitCamera.h"
#include "Views/Storage/StorageMapScene.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <optional>
#include <string>
#include <vector>

class BucketSelection;

// The 3D storage map: the top-level folders as shaded boxes on a floor, footprints from the treemap,
// heights from size. Drag turns the camera (right or Shift drag pans, the wheel zooms), hover lights
// a box, a click selects, a double click opens the item. Drawn with QPainter, so it needs no GPU.
class StorageMap3DView : public QWidget {
    Q_OBJECT
public:
    explicit StorageMap3DView(BucketSelection* selection, QWidget* parent = nullptr);

    // Rebuilds the boxes when the items' signature changed; a rebuild puts the camera home.
    void load(const std::vector<StorageBucket>& items);
    // A token other than the last one seen moves the camera home, animated.
    void setResetToken(int token);

    const std::vector<StorageMapBox>& boxes() const { return boxes_; }
    const OrbitCamera& camera() const { return camera_; }
    OrbitCamera shownCamera() const;  // during the reset animation, the camera on screen
    const std::optional<std::string>& hoveredID() const { return hoveredID_; }
    std::optional<std::string> bucketIDAt(QPointF point) const;
    // Where a world point lands on the widget.
    std::optional<QPointF> project(QVector3D point) const;

    QSize sizeHint() const override { return QSize(800, 520); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    struct Glow {
        double selected = 0;
        double hovered = 0;
    };
    Glow targetGlow(const std::string& id) const;
    Glow shownGlow(const std::string& id) const;
    void highlightChanged();
    void bakeCamera();
    void select(std::optional<std::string> id);

    QPointer<BucketSelection> selection_;
    std::string itemSignature_;
    std::map<std::string, StorageBucket> buckets_;
    std::vector<StorageMapBox> boxes_;
    std::optional<std::string> hoveredID_;
    std::map<std::string, Glow> glowFrom_;
    std::map<std::string, Glow> lastPainted_;
    Transition glowFade_{this, 120, QEasingCurve::Linear};

    OrbitCamera camera_ = OrbitCamera::home();
    OrbitCamera resetFrom_ = OrbitCamera::home();
    bool resetting_ = false;
    Transition reset_{this, 350, QEasingCurve::InOutQuad};
    int lastResetToken_ = 0;

    std::optional<QPointF> dragFrom_;
    bool panning_ = false;
};
