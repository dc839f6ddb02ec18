#pragma once

#include "Models/ScanSnapshot.h"
#include "Views/Storage/BucketActions.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Storage/StorageMapMode.h"
#include "Views/Storage/StorageRankPalette.h"

#include <QPointer>

#include <vector>

class BucketSelection;
class PillTabBar;
class StorageRibbon;
class StyledButton;
class TextLabel;

// The storage screen's map card: the ribbon over one of three maps (blocks, folders, 3D) chosen
// with a tab bar; in 3D a button puts the camera home. Every map shares the screen's selection.
class StorageMapCard : public CardModifier {
    Q_OBJECT
public:
    static constexpr qreal mapRadius = 14;

    StorageMapCard(BucketSelection* selection, DynamicColor tint, BucketActions::Focus onFocus, QWidget* parent = nullptr);

    // The snapshot's buckets feed the ribbon; `visible` (filtered and sorted like the folder list)
    // feeds the map. The buckets stay owned by the caller, who keeps them while they are shown.
    void setSnapshot(const ScanSnapshot& snapshot, std::vector<const StorageBucket*> visible, const StorageRankPalette& palette);
    void setVisible(std::vector<const StorageBucket*> visible);

    StorageMapMode mode() const { return mode_; }
    void setMode(StorageMapMode mode);
    int resetCameraToken() const { return resetCameraToken_; }
    QWidget* map() const { return map_; }
    StyledButton* resetButton() const { return resetButton_; }

private:
    class MapArea;
    void showMap();

    QPointer<BucketSelection> selection_;
    DynamicColor tint_;
    BucketActions::Focus onFocus_;
    StorageMapMode mode_ = StorageMapMode::blocks;
    int resetCameraToken_ = 0;
    std::vector<const StorageBucket*> visible_;
    std::int64_t totalSize_ = 0;
    bool scanHasEntries_ = false;
    StorageRankPalette palette_;

    TextLabel* subtitle_;
    StyledButton* resetButton_;
    PillTabBar* modes_;
    StorageRibbon* ribbon_;
    MapArea* mapArea_;
    QWidget* map_ = nullptr;
};
