#pragma once

#include "Foundation/Uuid.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <vector>

class AppState;
class ArtifactRow;
class CategoryHeader;
class QVBoxLayout;

// What the selected application leaves behind, grouped by kind in a fixed order (the application,
// support files, caches, settings, containers, saved state), each item with its tick and a bar
// against the largest item. Before the search ends it says it is looking; a search that found
// nothing says so. Ticks go to AppState; the rows follow what it publishes.
class LeftoversCard : public QWidget {
    Q_OBJECT
public:
    enum class Shown { searching, nothingFound, leftovers };

    LeftoversCard(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    Shown shown() const { return shown_; }
    const std::vector<CategoryHeader*>& headers() const { return headers_; }
    const std::vector<ArtifactRow*>& rows() const { return rows_; }

private:
    void follow();
    void rebuild();
    QWidget* makeStateCard(bool searching);
    QWidget* makeList();

    AppState& state_;
    DynamicColor tint_;
    QVBoxLayout* column_;
    QWidget* content_ = nullptr;
    Shown shown_ = Shown::searching;
    std::vector<Uuid> shownIDs_;
    std::vector<CategoryHeader*> headers_;
    std::vector<ArtifactRow*> rows_;
};
