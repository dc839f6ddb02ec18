#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/BucketActions.h"
#include "Views/Storage/StorageRankPalette.h"

#include "Views/Common/PendingClick.h"
#include "Views/DesignSystem/Transition.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <optional>
#include <vector>

class BucketSelection;
class QPainter;

// The blocks map: a squarified treemap of the scan's top-level entries, one rounded tile each,
// sized by share and coloured by rank. Hover dims the others and describes the tile in a strip;
// a click selects, a double click focuses; beyond 28 entries the smallest merge into one gray tile.
class TreemapView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* otherID = "__quarnell_other__";
    static constexpr std::size_t maximumTiles = 28;

    // The buckets that get tiles: positive sizes, largest first, at most 28 with the "other" tile last
    // (its path is otherID). Sorts for itself: the folder list may be in any order.
    static std::vector<StorageBucket> tiles(const std::vector<const StorageBucket*>& items);

    TreemapView(BucketSelection* selection, BucketActions::Focus onFocus, QWidget* parent = nullptr);

    void setItems(const std::vector<const StorageBucket*>& items, std::int64_t totalSize, StorageRankPalette palette);

    const std::optional<std::string>& hoveredID() const { return hoveredID_; }
    // Each tile's cell in widget coordinates, mirrored in a right-to-left layout; layout order. Laid
    // out again only when the items, the size or the direction change, not on a hover or a paint.
    using Cell = std::pair<StorageBucket, QRectF>;
    const std::vector<Cell>& cells() const;
    PendingClick& pendingClick() { return pendingClick_; }
    // A tile's name as shown; the "other" tile says how many entries it stands for.
    QString nameOf(const StorageBucket& tile) const;
    // A tile's location as its tooltip shows it; the "other" tile's is the largest tile's folder.
    QString locationOf(const StorageBucket& tile) const;
    // What assistive technology reads for a tile: its name and size.
    QString accessibleLabel(const StorageBucket& tile) const;
    // The tile under a point (its framed face, inside the gap); none between tiles.
    std::optional<StorageBucket> tileAt(QPointF point) const;
    // The hover strip's rectangle at rest; empty when nothing is hovered.
    QRectF hoverStripRect() const;
    QString hoverStripText() const;  // its texts joined, for tests
    // How far the strip has come in: 0 out of sight below the bottom edge, 1 in place and opaque.
    // It enters and leaves with the hover's ease; while it leaves it still shows the tile it described.
    double stripPresence() const;
    QRectF shownStripRect() const;  // where it is drawn now; empty when it is out of sight
    const Transition& hoverEase() const { return hoverFade_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;
    bool event(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;

private:
    struct Strip {
        QColor dot;
        QString name, details, hint;
    };
    std::optional<Strip> strip() const;
    std::optional<Strip> shownStrip() const;  // the hovered tile's, else the one still leaving
    QRectF stripRect(const Strip& strip) const;
    void paintStrip(QPainter& painter, const Strip& strip, QRectF box, double presence) const;
    double shareOf(const StorageBucket& bucket) const;
    QColor colorOf(const StorageBucket& bucket) const;
    double targetOpacity(const std::string& id) const;
    double shownOpacity(const std::string& id) const;
    void fadeFromScreen(Transition& transition);
    void setHovered(std::optional<std::string> id);

    QPointer<BucketSelection> selection_;
    BucketActions::Focus onFocus_;
    std::vector<StorageBucket> tiles_;
    std::int64_t totalSize_ = 0;
    StorageRankPalette palette_;
    QString otherName_;
    std::string otherLocation_;
    std::optional<std::string> hoveredID_;
    // Opacities fade from what was on screen when the hover or the selection changed.
    std::map<std::string, double> fadeFrom_;
    std::map<std::string, double> lastPainted_;
    Transition hoverFade_{this, Ease::hoverMs};
    double stripFrom_ = 0;  // the strip's presence when the hover last changed
    std::optional<Strip> leavingStrip_;
    Transition selectionFade_{this, 200, QEasingCurve::OutCubic};
    Transition* activeFade_ = nullptr;
    mutable std::optional<std::vector<Cell>> cells_;
    PendingClick pendingClick_;
};
