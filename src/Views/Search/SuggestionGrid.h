#pragma once

#include "Views/Search/QuickSearch.h"

#include <QWidget>

#include <vector>

class SuggestionTile;

// The quick searches as tiles in as many columns of at least 180 as the width holds, 10 apart.
class SuggestionGrid : public QWidget {
    Q_OBJECT
public:
    explicit SuggestionGrid(QWidget* parent = nullptr);

    const std::vector<SuggestionTile*>& tiles() const { return tiles_; }
    static int columnCount(int width);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void chosen(const QuickSearch& item);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int tileHeight() const;
    void placeTiles();

    std::vector<SuggestionTile*> tiles_;
};
