#pragma once

#include "Models/TrashFigures.h"

#include <QString>

#include <cstdint>
#include <functional>

class QMessageBox;
class QWidget;

// The question asked before anything goes to the Trash: "Move to Trash" (destructive) runs `move`,
// "Cancel" only closes. Opened window-modal on `screen` and deleted when closed; it says what the
// screen's selection moves and frees, read when it opens.
QMessageBox* confirmTrash(QWidget* screen, const TrashFigures& selected, std::function<void()> move);
// The same question with the screen's own detail text.
QMessageBox* confirmTrash(QWidget* screen, const QString& detail, std::function<void()> move);
