#include "Views/Tools/ToolsTrashConfirmation.h"

#include "Models/AppLocalization.h"
#include "Views/Common/TrashConfirmation.h"
#include "Views/Tools/ToolTexts.h"

#include <QMessageBox>

QMessageBox* confirmTrash(QWidget* screen, std::int64_t selectedSize, bool upTo, std::function<void()> move) {
    return confirmTrash(screen, AppLocalization::format("tools.trash.detail", {ToolTexts::freedBytes(selectedSize, upTo)}), std::move(move));
}

QMessageBox* confirmTrash(QWidget* screen, const QString& detail, std::function<void()> move) {
    QMessageBox* dialog = confirmMoveToTrash(screen, AppLocalization::string("tools.trash.confirm"), detail,
                                             AppLocalization::string("tools.moveToTrash"), std::move(move));
    dialog->setObjectName("toolsTrashConfirmation");
    return dialog;
}
