#include "Views/Common/TrashConfirmation.h"

#include "Models/AppLocalization.h"

#include <QMessageBox>
#include <QPushButton>

QMessageBox* confirmMoveToTrash(QWidget* screen, const QString& title, const QString& detail, const QString& moveButton, std::function<void()> move) {
    // The question is the dialog's text; a window manager's title bar would cut it, so the bar names the app.
    auto* dialog = new QMessageBox(QMessageBox::Warning, AppLocalization::string("Quarnell"), title, QMessageBox::NoButton, screen);
    dialog->setTextFormat(Qt::PlainText);
    dialog->setInformativeText(detail);
    QPushButton* confirm = dialog->addButton(moveButton, QMessageBox::DestructiveRole);
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
