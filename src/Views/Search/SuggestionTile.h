#pragma once

#include "Views/Search/QuickSearch.h"

#include <QAbstractButton>

class SymbolView;
class Transition;

// One quick search in the suggestions card: its badge, title and caption and an arrow, on DS.raised
// in a rounded rectangle whose outline and arrow take the item's tint under the pointer.
class SuggestionTile : public QAbstractButton {
    Q_OBJECT
public:
    explicit SuggestionTile(const QuickSearch& item, QWidget* parent = nullptr);

    bool isHovering() const { return hovering_; }
    const QuickSearch& item() const { return item_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);
    qreal hoverLevel() const;

    QuickSearch item_;
    SymbolView* arrow_;
    bool hovering_ = false;
    qreal fromLevel_ = 0;
    Transition* transition_;
};
