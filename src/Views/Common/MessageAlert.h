#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// A result or error message with one "OK" button, opened window-modal on `screen` and deleted when
// closed. Every way of closing it (the button, Escape, the window's close) runs `dismissed`. Names
// and paths in a message are never read as markup.
QMessageBox* openMessageAlert(QWidget* screen, const QString& title, const QString& message, std::function<void()> dismissed);
