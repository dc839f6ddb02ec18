#include "Views/Tools/ToolsTrashConfirmation.h"

#include "Models/AppLocalization.h"
#include "Views/Common/TrashConfirmation.h"
#include "Views/Tools/ToolTexts.h"

#include <QMessageBox>

QMessageBox* confirmTrash(QWidget* screen, std::int64_t selectedSize, std::function<void()> move) {
    QMessageBox* dialog = confirmMoveToTrash(screen, AppLocalization::string("tools.trash.confirm"),
                                             AppLocalization::format("tools.trash.detail", {ToolTexts::bytes(selectedSize)}),
                                             AppLocalization::string("tools.moveToTrash"), std::move(move));
    dialog->setObjectName("toolsTrashConfirmation");
    return dialog;
}
