#include "Services/StartupError.h"

#include "Models/AppLocalization.h"

namespace {

QString message(StartupError::Case errorCase, const QString& name, const QString& detail) {
    switch (errorCase) {
    case StartupError::Case::requiresAdministrator: return AppLocalization::string("startup.requiresAdministrator");
    case StartupError::Case::changedSinceListed: return AppLocalization::format("startup.changed", {name});
    case StartupError::Case::symbolicLink: return AppLocalization::format("startup.symbolicLink", {name});
    case StartupError::Case::nothingToStart: return AppLocalization::format("startup.nothingToStart", {name});
    case StartupError::Case::notApplied: return AppLocalization::format("startup.notApplied", {name});
    case StartupError::Case::notSwitchable: return AppLocalization::format("startup.notSwitchable", {name, detail});
    }
    return {};
}

}  // namespace

StartupError::StartupError(Case errorCase, const QString& name, const QString& detail)
    : std::runtime_error(message(errorCase, name, detail).toStdString()), case_(errorCase) {}
