#pragma once

#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Search/QuickSearch.h"

#include <QWidget>

class SuggestionGrid;

// What the search screen shows before anything is typed: the quick searches beside the tips, and
// under them the privacy card with a button that puts the focus into the search field.
class SearchSuggestions : public QWidget {
    Q_OBJECT
public:
    explicit SearchSuggestions(const DynamicColor& tint, QWidget* parent = nullptr);

    SuggestionGrid* grid() const { return grid_; }

signals:
    void quickSearchChosen(const QuickSearch& item);
    void startClicked();

private:
    SuggestionGrid* grid_;
};
