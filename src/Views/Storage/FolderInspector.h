#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/BucketActions.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class HeroValue;
class IconBadge;
class IconImageView;
class KeyValueRow;
class StyledButton;
class TextLabel;
class ThinBar;
struct ScanSnapshot;
struct ScannedFile;

// The card beside the storage maps: one top-level entry of the scan with its size, share, path,
// the largest files inside it and the reveal, focus and copy-path actions; an empty state without one.
// Built once; a new selection or a new scan changes what it shows.
class FolderInspector : public QWidget {
    Q_OBJECT
public:
    FolderInspector(DynamicColor emptyTint, BucketActions::Focus onFocus, QWidget* parent = nullptr);

    void setContent(const ScanSnapshot& snapshot, std::optional<StorageBucket> bucket, DynamicColor tint);

    // At most five of the snapshot's largest files that lie inside the bucket, largest first.
    static std::vector<ScannedFile> largestInside(const ScanSnapshot& snapshot, const StorageBucket& bucket);

    const std::optional<StorageBucket>& bucket() const { return bucket_; }
    StyledButton* focusButton() const { return focusButton_; }

private:
    class InsideFileRow;

    DynamicColor emptyTint_;
    std::optional<StorageBucket> bucket_;
    QWidget* empty_;
    QWidget* details_;
    IconImageView* icon_;
    TextLabel* name_;
    TextLabel* kind_;
    HeroValue* size_;
    ThinBar* shareBar_;
    KeyValueRow* files_;
    KeyValueRow* share_;
    TextLabel* path_;
    QWidget* inside_;
    std::array<InsideFileRow*, 5> insideRows_{};
    StyledButton* focusButton_;
};
