#pragma once

#include "Foundation/Instant.h"
#include "Models/SearchKind.h"
#include "Services/SearchFindings.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Search/SearchScope.h"

#include <vector>

class StyledButton;
class TextLabel;

// What a search that found nothing shows: the query, the kind and scope in force, the index's age (and
// what of it is gone from the disk), and buttons that widen the search (all kinds, everywhere) or
// clear it. The first button offered is the tinted one.
class SearchEmptyState : public CardModifier {
    Q_OBJECT
public:
    SearchEmptyState(const QString& trimmedQuery, SearchKind kind, SearchScope scope, const SearchFindings& findings, Instant now,
                     const DynamicColor& tint, QWidget* parent = nullptr);

    QString titleText() const;
    // The buttons offered, in order.
    const std::vector<StyledButton*>& buttons() const { return buttons_; }

signals:
    void allKindsClicked();
    void everywhereClicked();
    void clearClicked();

private:
    TextLabel* title_;
    std::vector<StyledButton*> buttons_;
};
