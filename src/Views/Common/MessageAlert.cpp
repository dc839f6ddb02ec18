#include "Views/Common/MessageAlert.h"

#include "Models/AppLocalization.h"

#include <QPushButton>
#include <QWidget>

MessageAlert::MessageAlert(QWidget* screen, QString title, std::function<std::optional<QString>()> message, std::function<void()> dismiss,
                           QString objectName)
    : QObject(screen), screen_(screen), title_(std::move(title)), message_(std::move(message)), dismiss_(std::move(dismiss)), objectName_(std::move(objectName)) {}

void MessageAlert::follow() {
    const std::optional<QString> message = message_();
    if (!message) {
        if (alert_) alert_->close();
        return;
    }
    if (alert_) {
        alert_->setText(*message);
        return;
    }
    if (!screen_->isVisible()) return;  // shown when the screen is next shown
    alert_ = new QMessageBox(QMessageBox::Information, title_, {}, QMessageBox::NoButton, screen_);
    alert_->setObjectName(objectName_);
    alert_->setTextFormat(Qt::PlainText);
    alert_->setText(*message);
    QPushButton* ok = alert_->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    alert_->setEscapeButton(ok);
    alert_->setAttribute(Qt::WA_DeleteOnClose);
    connect(alert_, &QDialog::finished, this, [this] { dismiss_(); });
    alert_->open();
}
