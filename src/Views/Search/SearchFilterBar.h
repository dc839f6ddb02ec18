#pragma once

#include "Models/SearchKind.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Search/SearchScope.h"

#include <QWidget>

class MenuPillLabel;
class Pill;
class PillTabBar;

// The controls under the query: the kinds, the scope menu and the privacy pill. They take the first
// of three arrangements whose natural width fits: all in one row; the kind pills above the scope
// and the pill; or the kinds as a menu beside the scope menu, the pill below. Nothing is squeezed.
class SearchFilterBar : public QWidget {
    Q_OBJECT
public:
    enum class Arrangement { oneRow, pillsAbove, menus };

    SearchFilterBar(const DynamicColor& tint, SearchKind kind, SearchScope scope, QWidget* parent = nullptr);

    void setKind(SearchKind kind);
    void setScope(SearchScope scope);
    Arrangement arrangement() const { return arrangement_; }
    // The natural width of an arrangement.
    int idealWidth(Arrangement arrangement) const;

    PillTabBar* kindBar() const { return kindBar_; }
    MenuPillLabel* kindMenu() const { return kindMenu_; }
    MenuPillLabel* scopeMenu() const { return scopeMenu_; }
    Pill* privacyPill() const { return privacy_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void kindChosen(SearchKind kind);
    void scopeChosen(SearchScope scope);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Arrangement arrangementFor(int width) const;
    int height(Arrangement arrangement) const;
    void arrange();
    void place(QWidget* widget, QRect frame);

    SearchKind kind_;
    SearchScope scope_;
    PillTabBar* kindBar_;
    MenuPillLabel* kindMenu_;
    MenuPillLabel* scopeMenu_;
    Pill* privacy_;
    Arrangement arrangement_ = Arrangement::oneRow;
};
