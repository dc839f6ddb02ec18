#include "Views/Search/SearchFilterBar.h"

#include "Models/AppLocalization.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/Search/ChoiceMenu.h"
#include "Views/Search/MenuPillLabel.h"
#include "Views/Search/SearchKindPresentation.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace {

// Gaps of the three arrangements: between items of the first row, the smallest spacer, and the
// gaps of the second and third.
constexpr int rowSpacing = 12, rowSpacer = 12, lineSpacing = 12, innerSpacing = 10, innerSpacer = 8;

}  // namespace

SearchFilterBar::SearchFilterBar(const DynamicColor& tint, SearchKind kind, SearchScope scope, QWidget* parent)
    : QWidget(parent), kind_(kind), scope_(scope) {
    std::vector<TabItem> kinds;
    for (SearchKind each : allCases<SearchKind>())
        kinds.push_back({rawText(each), AppLocalization::string(labelKey(each)), symbol(each), tint});
    kindBar_ = new PillTabBar(kinds, rawText(kind_), true, this);
    kindBar_->setToolTip(plainToolTip(AppLocalization::string("search.kind")));
    connect(kindBar_, &PillTabBar::selectionChanged, this, [this](const QString& id) {
        if (auto chosen = fromRawText<SearchKind>(id)) emit kindChosen(*chosen);
    });

    kindMenu_ = new MenuPillLabel(symbol(kind_), AppLocalization::string(labelKey(kind_)), tint, this);
    kindMenu_->setObjectName("kindMenu");
    kindMenu_->setToolTip(plainToolTip(AppLocalization::string("search.kind")));
    connect(kindMenu_, &QAbstractButton::clicked, this, [this] {
        if (auto chosen = ChoiceMenu::popUpCases(kindMenu_, kind_)) emit kindChosen(*chosen);
    });

    scopeMenu_ = new MenuPillLabel(symbol(scope_), AppLocalization::string(labelKey(scope_)), DynamicColor::primary(), this);
    scopeMenu_->setObjectName("scopeMenu");
    scopeMenu_->setToolTip(plainToolTip(AppLocalization::string("search.scope")));
    connect(scopeMenu_, &QAbstractButton::clicked, this, [this] {
        if (auto chosen = ChoiceMenu::popUpCases(scopeMenu_, scope_)) emit scopeChosen(*chosen);
    });

    privacy_ = new Pill(AppLocalization::string("search.private"), QStringLiteral("lock.shield.fill"), DS::green, this);
    privacy_->setToolTip(plainToolTip(AppLocalization::string("search.spotlight")));

    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    arrange();
}

void SearchFilterBar::setKind(SearchKind kind) {
    kind_ = kind;
    kindBar_->setSelection(rawText(kind));
    kindMenu_->setContent(symbol(kind), AppLocalization::string(labelKey(kind)));
    updateGeometry();
    arrange();
}

void SearchFilterBar::setScope(SearchScope scope) {
    scope_ = scope;
    scopeMenu_->setContent(symbol(scope), AppLocalization::string(labelKey(scope)));
    updateGeometry();
    arrange();
}

int SearchFilterBar::idealWidth(Arrangement arrangement) const {
    const int bar = kindBar_->sizeHint().width(), scope = scopeMenu_->sizeHint().width(), pill = privacy_->sizeHint().width();
    switch (arrangement) {
    case Arrangement::oneRow: return bar + rowSpacing + rowSpacer + rowSpacing + scope + rowSpacing + pill;
    case Arrangement::pillsAbove: return std::max(bar, scope + innerSpacing + innerSpacer + innerSpacing + pill);
    case Arrangement::menus:
        return std::max(kindMenu_->sizeHint().width() + innerSpacing + scope + innerSpacing + innerSpacer, pill);
    }
    return 0;
}

int SearchFilterBar::height(Arrangement arrangement) const {
    const int bar = kindBar_->sizeHint().height(), menu = scopeMenu_->sizeHint().height(), pill = privacy_->sizeHint().height();
    switch (arrangement) {
    case Arrangement::oneRow: return std::max({bar, menu, pill});
    case Arrangement::pillsAbove: return bar + lineSpacing + std::max(menu, pill);
    case Arrangement::menus: return std::max(kindMenu_->sizeHint().height(), menu) + lineSpacing + pill;
    }
    return 0;
}

SearchFilterBar::Arrangement SearchFilterBar::arrangementFor(int width) const {
    for (Arrangement each : {Arrangement::oneRow, Arrangement::pillsAbove})
        if (idealWidth(each) <= width) return each;
    return Arrangement::menus;
}

QSize SearchFilterBar::sizeHint() const { return {idealWidth(Arrangement::oneRow), height(Arrangement::oneRow)}; }

QSize SearchFilterBar::minimumSizeHint() const { return {idealWidth(Arrangement::menus), height(Arrangement::oneRow)}; }

int SearchFilterBar::heightForWidth(int width) const { return height(arrangementFor(width)); }

void SearchFilterBar::resizeEvent(QResizeEvent*) { arrange(); }

void SearchFilterBar::place(QWidget* widget, QRect frame) {
    // Frames are worked out left to right; a right-to-left layout mirrors them.
    widget->setGeometry(QStyle::visualRect(layoutDirection(), rect(), frame));
}

void SearchFilterBar::arrange() {
    arrangement_ = arrangementFor(width());
    const int rowHeight = height(Arrangement::oneRow);
    const QSize bar = kindBar_->sizeHint(), kindMenu = kindMenu_->sizeHint(), scope = scopeMenu_->sizeHint(), pill = privacy_->sizeHint();
    const auto centred = [](QSize size, int x, int top, int lineHeight) { return QRect(QPoint(x, top + (lineHeight - size.height()) / 2), size); };
    kindBar_->setVisible(arrangement_ != Arrangement::menus);
    kindMenu_->setVisible(arrangement_ == Arrangement::menus);
    switch (arrangement_) {
    case Arrangement::oneRow:
        place(kindBar_, centred(bar, 0, 0, rowHeight));
        place(privacy_, centred(pill, width() - pill.width(), 0, rowHeight));
        place(scopeMenu_, centred(scope, width() - pill.width() - rowSpacing - scope.width(), 0, rowHeight));
        break;
    case Arrangement::pillsAbove: {
        place(kindBar_, QRect(QPoint(0, 0), bar));
        const int top = bar.height() + lineSpacing, line = std::max(scope.height(), pill.height());
        place(scopeMenu_, centred(scope, 0, top, line));
        place(privacy_, centred(pill, width() - pill.width(), top, line));
        break;
    }
    case Arrangement::menus: {
        const int line = std::max(kindMenu.height(), scope.height());
        place(kindMenu_, centred(kindMenu, 0, 0, line));
        place(scopeMenu_, centred(scope, kindMenu.width() + innerSpacing, 0, line));
        place(privacy_, QRect(QPoint(0, line + lineSpacing), pill));
        break;
    }
    }
}

void SearchFilterBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) arrange();
}
