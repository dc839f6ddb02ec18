#include "Views/Search/SuggestionGrid.h"

#include "Views/Search/SuggestionTile.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int minimumColumn = 180, spacing = 10;

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

int SuggestionGrid::columnCount(int width) { return std::max(1, (width + spacing) / (minimumColumn + spacing)); }

int SuggestionGrid::tileHeight() const {
    int height = 0;
    for (const SuggestionTile* tile : tiles_) height = std::max(height, tile->sizeHint().height());
    return height;
}

int SuggestionGrid::heightForWidth(int width) const {
    const int columns = columnCount(width), rows = (int(tiles_.size()) + columns - 1) / columns;
    return rows * tileHeight() + std::max(0, rows - 1) * spacing;
}

QSize SuggestionGrid::sizeHint() const {
    const int columns = int(tiles_.size());
    const int width = columns * minimumColumn + (columns - 1) * spacing;
    return {width, heightForWidth(width)};
}

QSize SuggestionGrid::minimumSizeHint() const { return {minimumColumn, heightForWidth(minimumColumn)}; }

void SuggestionGrid::resizeEvent(QResizeEvent*) { placeTiles(); }

void SuggestionGrid::placeTiles() {
    const int columns = columnCount(width());
    const int tileWidth = (width() - (columns - 1) * spacing) / columns, height = tileHeight();
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const int column = int(i) % columns, row = int(i) / columns;
        const QRect frame(column * (tileWidth + spacing), row * (height + spacing), tileWidth, height);
        tiles_[i]->setGeometry(QStyle::visualRect(layoutDirection(), rect(), frame));
    }
}

void SuggestionGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) placeTiles();
}
