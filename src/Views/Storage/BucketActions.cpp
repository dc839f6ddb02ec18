#include "Views/Storage/BucketActions.h"

#include "Views/Common/EntryKind.h"
#include "Models/AppLocalization.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/GuardedMenu.h"

#include <filesystem>

namespace BucketActions {

bool canFocus(const StorageBucket& bucket) { return EntryKind::isFolder(bucket.path); }

namespace {

// Runs the menu with open, reveal and copy path after `before`'s entries; true when one of those ran.
bool runFileMenu(QMenu& menu, QPoint globalPosition, const std::filesystem::path& path, QAction*& chosen) {
    QAction* openAction = menu.addAction(AppLocalization::string("action.open"));
    QAction* revealAction = menu.addAction(AppLocalization::string("action.reveal"));
    menu.addSeparator();
    QAction* copyAction = menu.addAction(AppLocalization::string("storage.copyPath"));
    chosen = menu.exec(globalPosition);
    if (!chosen) return false;  // closed, or gone with its parent
    if (chosen == openAction) FileActions::open(path);
    else if (chosen == revealAction) FileActions::reveal(path);
    else if (chosen == copyAction) FileActions::copyPath(path);
    else return false;
    return true;
}

}  // namespace

void showMenu(QWidget* parent, QPoint globalPosition, const StorageBucket& bucket, const Focus& focus) {
    const GuardedMenu menu(parent);
    QAction* focusAction = menu->addAction(AppLocalization::string("storage.focus"));
    focusAction->setEnabled(canFocus(bucket));
    QAction* chosen = nullptr;
    if (!runFileMenu(*menu, globalPosition, bucket.path, chosen) && chosen == focusAction && focus) focus(bucket);
}

void showFileMenu(QWidget* parent, QPoint globalPosition, const std::filesystem::path& file) {
    const GuardedMenu menu(parent);
    QAction* chosen = nullptr;
    runFileMenu(*menu, globalPosition, file, chosen);
}

void showRevealMenu(QWidget* parent, QPoint globalPosition, const std::filesystem::path& item) {
    const GuardedMenu menu(parent);
    QAction* revealAction = menu->addAction(AppLocalization::string("action.reveal"));
    QAction* copyAction = menu->addAction(AppLocalization::string("action.copyPath"));
    QAction* chosen = menu->exec(globalPosition);
    if (chosen == revealAction) FileActions::reveal(item);
    else if (chosen == copyAction) FileActions::copyPath(item);
}

}  // namespace BucketActions
