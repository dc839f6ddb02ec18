#include "Views/Storage/FolderMapView.h"

#include "Views/Storage/BucketSelection.h"
#include "Views/Storage/FolderCard.h"
#include "Views/Storage/NoFoldersState.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int cardPadding = 12, cardSpacing = 10, minimumCardColumn = 210;
}

int FolderMapView::columnCount(int width) {
    return std::max(1, (width - 2 * cardPadding + cardSpacing) / (minimumCardColumn + cardSpacing));
}

FolderMapView::FolderMapView(BucketSelection* selection, BucketActions::Focus onFocus, QWidget* parent)
    : QScrollArea(parent), selection_(selection), onFocus_(std::move(onFocus)) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    if (selection_)
        connect(selection_, &BucketSelection::changed, this, [this] {
            for (FolderCard* card : cards_) card->setSelected(selection_->isSelected(card->bucket().path));
        });
}

void FolderMapView::setItems(const std::vector<const StorageBucket*>& items, std::int64_t totalSize, const StorageRankPalette& palette, bool filtered) {
    QWidget* content = new QWidget;
    content->setAutoFillBackground(false);
    cards_.clear();
    if (items.empty()) {
        auto* layout = new QVBoxLayout(content);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new NoFoldersState(filtered));
        content->setMinimumHeight(430);
    }
    for (std::size_t i = 0; i < items.size() && i < maximumCards; ++i) {
        const StorageBucket& bucket = *items[i];
        const double share = totalSize >= 1 ? double(bucket.size) / double(totalSize) : 0;
        const std::string id = bucket.path;
        auto* card = new FolderCard(
            bucket, share, palette.color(bucket.path), selection_ && selection_->isSelected(id),
            [this, id] {
                if (selection_) selection_->setID(id);
            },
            onFocus_, content);
        cards_.push_back(card);
    }
    setWidget(content);
    layoutCards();
}

void FolderMapView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    layoutCards();
}

void FolderMapView::layoutCards() {
    QWidget* content = widget();
    if (!content) return;
    const int width = viewport()->width();
    if (cards_.empty()) {
        content->resize(width, std::max(viewport()->height(), 430));
        return;
    }
    const int columns = columnCount(width);
    const int cardWidth = (width - 2 * cardPadding - (columns - 1) * cardSpacing) / columns;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int cardHeight = cards_.front()->minimumSizeHint().height();  // every card holds the same lines
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        const int column = int(i) % columns, row = int(i) / columns;
        const int x = cardPadding + column * (cardWidth + cardSpacing);
        cards_[i]->setGeometry(rtl ? width - x - cardWidth : x, cardPadding + row * (cardHeight + cardSpacing), cardWidth, cardHeight);
    }
    const int rows = (int(cards_.size()) + columns - 1) / columns;
    content->resize(width, 2 * cardPadding + rows * cardHeight + (rows - 1) * cardSpacing);
}
