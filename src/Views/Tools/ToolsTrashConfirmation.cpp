#include "Views/Tools/ToolsTrashConfirmation.h"

#include "Models/AppLocalization.h"
#include "Models/TrashFigureTexts.h"
#include "Views/Common/TrashConfirmation.h"

#include <QMessageBox>

QMessageBox* confirmTrash(QWidget* screen, const TrashFigures& selected, std::function<void()> move) {
    return confirmTrash(screen, TrashFigureTexts::question(selected), std::move(move));
}

QMessageBox* confirmTrash(QWidget* screen, const QString& detail, std::function<void()> move) {
    QMessageBox* dialog = confirmMoveToTrash(screen, AppLocalization::string("tools.trash.confirm"), detail,
                                             AppLocalization::string("tools.moveToTrash"), std::move(move));
    dialog->setObjectName("toolsTrashConfirmation");
    return dialog;
}
