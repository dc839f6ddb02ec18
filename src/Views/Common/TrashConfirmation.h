#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// The question asked before anything goes to the Trash, in a screen's own words: its title, the
// detail, and the destructive button, which runs `move`; "Cancel" only closes. Opened window-modal
// on `screen` and deleted when closed.
QMessageBox* confirmMoveToTrash(QWidget* screen, const QString& title, const QString& detail, const QString& moveButton, std::function<void()> move);
