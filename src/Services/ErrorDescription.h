#pragma once

#include <QString>

#include <exception>

// The text a user sees for a failed operation: the error's own message, which the services
// write in the selected language or as the documented fixed text.
QString errorDescription(const std::exception_ptr& error);
