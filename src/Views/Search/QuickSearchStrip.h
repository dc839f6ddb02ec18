#pragma once

#include "Views/DesignSystem/CardModifier.h"
#include "Views/Search/QuickSearch.h"

// The row of quick-search chips under the empty and error states: "Try" and one tinted capsule
// per quick search, pushed to the leading edge.
class QuickSearchStrip : public CardModifier {
    Q_OBJECT
public:
    explicit QuickSearchStrip(QWidget* parent = nullptr);

signals:
    void chosen(const QuickSearch& item);
};
