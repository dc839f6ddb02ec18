#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QMessageBox;
class QWidget;

// The question asked before anything goes to the Trash: "Move to Trash" (destructive) runs `move`,
// "Cancel" only closes. Opened window-modal on `screen` and deleted when closed; the screen's
// selected size is read when it opens, "up to" where some of it is compressed on disk.
QMessageBox* confirmTrash(QWidget* screen, std::int64_t selectedSize, bool upTo, std::function<void()> move);
// The same question with the screen's own detail text.
QMessageBox* confirmTrash(QWidget* screen, const QString& detail, std::function<void()> move);
