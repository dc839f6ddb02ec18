#include "Services/StartupError.h"

#include "Models/AppLocalization.h"

StartupError::StartupError(Case errorCase)
    : std::runtime_error(AppLocalization::string("startup.requiresAdministrator").toStdString()), case_(errorCase) {}
