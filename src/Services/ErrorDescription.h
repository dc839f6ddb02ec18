#pragma once

#include "Platform/TrashError.h"

#include <QString>
#include <QStringList>

#include <exception>

// The text a user sees for a failed operation: the error's own message, which the services
// write in the selected language or as the documented fixed text.
QString errorDescription(const std::exception_ptr& error);

// Why the Trash refused an item, as a clause ("it is in the Trash", the system's own error text).
QString trashFailureReason(const TrashError& error);

// A list that stays readable however long: the first few lines, then how many more there are.
QStringList fewLines(const QStringList& lines);
