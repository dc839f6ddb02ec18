#pragma once

#include "Views/Search/QuickSearch.h"

#include <QAbstractButton>

// One chip of the quick-search strip: the item's symbol and title in its tint on the tint at 14 %.
class QuickSearchChip : public QAbstractButton {
    Q_OBJECT
public:
    explicit QuickSearchChip(const QuickSearch& item, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QuickSearch item_;
};
