#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/BucketActions.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <optional>
#include <vector>

class StyledButton;
struct ScanSnapshot;
struct ScannedFile;

// The card beside the storage maps: one top-level entry of the scan with its size, share, path,
// the largest files inside it and the reveal, focus and copy-path actions; an empty state without one.
class FolderInspector : public QWidget {
    Q_OBJECT
public:
    FolderInspector(const ScanSnapshot& snapshot, std::optional<StorageBucket> bucket, DynamicColor tint,
                    BucketActions::Focus onFocus, QWidget* parent = nullptr);

    // At most five of the snapshot's largest files that lie inside the bucket, largest first.
    static std::vector<ScannedFile> largestInside(const ScanSnapshot& snapshot, const StorageBucket& bucket);

    StyledButton* focusButton() const { return focusButton_; }

private:
    StyledButton* focusButton_ = nullptr;
};
