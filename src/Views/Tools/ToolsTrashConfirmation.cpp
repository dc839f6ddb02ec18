#include "Views/Tools/ToolsTrashConfirmation.h"

#include "Models/AppLocalization.h"
#include "Views/Tools/ToolTexts.h"

#include <QMessageBox>
#include <QPushButton>

QMessageBox* confirmTrash(QWidget* screen, std::int64_t selectedSize, std::function<void()> move) {
    auto* dialog = new QMessageBox(QMessageBox::Warning, AppLocalization::string("tools.trash.confirm"), AppLocalization::string("tools.trash.confirm"),
                                   QMessageBox::NoButton, screen);
    dialog->setObjectName("toolsTrashConfirmation");
    dialog->setTextFormat(Qt::PlainText);
    dialog->setInformativeText(AppLocalization::format("tools.trash.detail", {ToolTexts::isolated(ToolTexts::bytes(selectedSize))}));
    QPushButton* confirm = dialog->addButton(AppLocalization::string("tools.moveToTrash"), QMessageBox::DestructiveRole);
    confirm->setObjectName("confirmMove");
    QPushButton* cancel = dialog->addButton(AppLocalization::string("action.cancel"), QMessageBox::RejectRole);
    cancel->setObjectName("cancelMove");
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QMessageBox::buttonClicked, dialog, [confirm, move = std::move(move)](QAbstractButton* clicked) {
        if (clicked == confirm) move();
    });
    dialog->open();
    return dialog;
}
