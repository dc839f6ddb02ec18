#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// A published result or error message shown in an alert over its screen while the screen is
// visible: one "OK" button, plain text (names and paths are never markup). Every way of closing it
// (the button, Escape, the window's close) ends the message through `dismiss`; a message that ends
// elsewhere closes it. The screen calls follow() when the message changes and when it is shown.
class MessageAlert : public QObject {
    Q_OBJECT
public:
    MessageAlert(QWidget* screen, QString title, std::function<std::optional<QString>()> message, std::function<void()> dismiss, QString objectName);

    void follow();
    QMessageBox* alert() const { return alert_; }

private:
    QWidget* screen_;
    QString title_;
    std::function<std::optional<QString>()> message_;
    std::function<void()> dismiss_;
    QString objectName_;
    QPointer<QMessageBox> alert_;
};
