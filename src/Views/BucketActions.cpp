#include "Views/BucketActions.h"

#include "Models/AppLocalization.h"
#include "Views/FileActions.h"

#include <QMenu>

#include <filesystem>

namespace BucketActions {

bool canFocus(const StorageBucket& bucket) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::symlink_status(bucket.url, error));
}

void showMenu(QWidget* parent, QPoint globalPosition, const StorageBucket& bucket, const Focus& focus) {
    QMenu menu(parent);
    QAction* focusAction = menu.addAction(AppLocalization::string("storage.focus"));
    focusAction->setEnabled(canFocus(bucket));
    QAction* openAction = menu.addAction(AppLocalization::string("action.open"));
    QAction* revealAction = menu.addAction(AppLocalization::string("action.reveal"));
    menu.addSeparator();
    QAction* copyAction = menu.addAction(AppLocalization::string("storage.copyPath"));
    QAction* chosen = menu.exec(globalPosition);
    if (chosen == focusAction) focus(bucket);
    else if (chosen == openAction) FileActions::open(bucket.url);
    else if (chosen == revealAction) FileActions::reveal(bucket.url);
    else if (chosen == copyAction) FileActions::copyPath(bucket.url);
}

}  // namespace BucketActions
