#include "Views/Common/MessageAlert.h"

#include "Models/AppLocalization.h"

#include <QMessageBox>
#include <QPushButton>

QMessageBox* openMessageAlert(QWidget* screen, const QString& title, const QString& message, std::function<void()> dismissed) {
    auto* alert = new QMessageBox(QMessageBox::Information, title, {}, QMessageBox::NoButton, screen);
    alert->setTextFormat(Qt::PlainText);
    alert->setText(message);
    QPushButton* ok = alert->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    alert->setEscapeButton(ok);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(alert, &QDialog::finished, alert, [dismissed = std::move(dismissed)] { dismissed(); });
    alert->open();
    return alert;
}
