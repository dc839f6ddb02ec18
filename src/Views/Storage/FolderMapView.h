#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/BucketActions.h"
#include "Views/Storage/StorageRankPalette.h"

#include <QPointer>
#include <QScrollArea>

#include <vector>

class BucketSelection;
class FolderCard;

// The folders map: a scrolling grid of folder cards (columns at least 210 wide) for the first 120
// entries in the folder list's order, or an empty state when there are none.
class FolderMapView : public QScrollArea {
    Q_OBJECT
public:
    static constexpr std::size_t maximumCards = 120;

    FolderMapView(BucketSelection* selection, BucketActions::Focus onFocus, QWidget* parent = nullptr);

    // `filtered`: the scan has entries, and the folder list's filter left none of them.
    void setItems(const std::vector<const StorageBucket*>& items, std::int64_t totalSize, const StorageRankPalette& palette, bool filtered = false);
    const std::vector<FolderCard*>& cards() const { return cards_; }
    // Columns of the grid at a content width.
    static int columnCount(int width);

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void layoutCards();

    QPointer<BucketSelection> selection_;
    BucketActions::Focus onFocus_;
    std::vector<FolderCard*> cards_;
};
