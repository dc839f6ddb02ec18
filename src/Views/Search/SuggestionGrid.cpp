#include "Views/Search/SuggestionGrid.h"

#include "Views/Search/SuggestionTile.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int minimumSuggestionColumn = 180, suggestionSpacing = 10;

}  // namespace

SuggestionGrid::SuggestionGrid(QWidget* parent) : QWidget(parent) {
    for (const QuickSearch& item : QuickSearch::all()) {
        auto* tile = new SuggestionTile(item, this);
        connect(tile, &QAbstractButton::clicked, this, [this, &item] { emit chosen(item); });
        tiles_.push_back(tile);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int SuggestionGrid::columnCount(int width) { return std::max(1, (width + suggestionSpacing) / (minimumSuggestionColumn + suggestionSpacing)); }

int SuggestionGrid::tileHeight() const {
    int height = 0;
    for (const SuggestionTile* tile : tiles_) height = std::max(height, tile->sizeHint().height());
    return height;
}

int SuggestionGrid::heightForWidth(int width) const {
    const int columns = columnCount(width), rows = (int(tiles_.size()) + columns - 1) / columns;
    return rows * tileHeight() + std::max(0, rows - 1) * suggestionSpacing;
}

QSize SuggestionGrid::sizeHint() const {
    const int columns = int(tiles_.size());
    const int width = columns * minimumSuggestionColumn + (columns - 1) * suggestionSpacing;
    return {width, heightForWidth(width)};
}

QSize SuggestionGrid::minimumSizeHint() const { return {minimumSuggestionColumn, heightForWidth(minimumSuggestionColumn)}; }

void SuggestionGrid::resizeEvent(QResizeEvent*) { placeTiles(); }

void SuggestionGrid::placeTiles() {
    const int columns = columnCount(width());
    const int tileWidth = (width() - (columns - 1) * suggestionSpacing) / columns, height = tileHeight();
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const int column = int(i) % columns, row = int(i) / columns;
        const QRect frame(column * (tileWidth + suggestionSpacing), row * (height + suggestionSpacing), tileWidth, height);
        tiles_[i]->setGeometry(QStyle::visualRect(layoutDirection(), rect(), frame));
    }
}

void SuggestionGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) placeTiles();
}
