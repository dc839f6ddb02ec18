#include "Views/Search/SearchResultRow.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/FileIcon.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Search/SearchResultOrder.h"

#include <QContextMenuEvent>

#include <filesystem>

namespace {

QString sizeText(std::int64_t size) { return size >= 1 ? ByteFormatting::string(size) : QStringLiteral("\u2014"); }

double fractionOf(std::int64_t size, std::int64_t largest) { return double(std::max<std::int64_t>(size, 0)) / double(std::max<std::int64_t>(largest, 1)); }

}  // namespace

SearchResultRow::SearchResultRow(const SearchHit& hit, std::int64_t largest, const DynamicColor& tint, bool highlighted, QWidget* parent)
    // Where the desktop has no icon for the file, a file badge stands in rather than the rows' default.
    : RankedRow(fileIcon(hit.path), QStringLiteral("doc"), DisplayText::name(hit.path.filename()), DisplayText::path(hit.path.parent_path()), sizeText(hit.size),
                fractionOf(hit.size, largest), tint, highlighted, parent),
      hit_(hit) {
    setAttribute(Qt::WA_Hover);
    setToolTip(plainToolTip(SearchResultOrder::help(hit_)));
    connect(this, &RankedRow::doubleClicked, this, &SearchResultRow::open);
}

bool SearchResultRow::stillThere() const {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(hit_.path, error));
}

// Open and reveal act on the path the search found; a file that has gone since gives nothing to
// show, so nothing is asked of the desktop and no alert is raised.
void SearchResultRow::open() const {
    if (stillThere()) FileActions::open(hit_.path);
}

void SearchResultRow::reveal() const {
    if (stillThere()) FileActions::reveal(hit_.path);
}

void SearchResultRow::copyPath() const { FileActions::copyPath(hit_.path); }

void SearchResultRow::enterEvent(QEnterEvent* event) {
    RankedRow::enterEvent(event);
    emit hoverChanged(true);
}

void SearchResultRow::leaveEvent(QEvent* event) {
    RankedRow::leaveEvent(event);
    emit hoverChanged(false);
}

void SearchResultRow::contextMenuEvent(QContextMenuEvent* event) {
    const GuardedMenu menu(this);
    QAction* openAction = menu->addAction(AppLocalization::string("action.open"));
    QAction* revealAction = menu->addAction(AppLocalization::string("action.reveal"));
    QAction* copyAction = menu->addAction(AppLocalization::string("action.copyPath"));
    const QAction* chosen = menu->exec(event->globalPos());
    if (!chosen) return;
    // The menu's loop may have replaced the list; the hit is this row's own copy.
    if (chosen == openAction) open();
    else if (chosen == revealAction) reveal();
    else if (chosen == copyAction) copyPath();
}
