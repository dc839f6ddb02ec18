#include "Services/ScanError.h"

#include "Models/DisplayText.h"

ScanError::ScanError(std::filesystem::path location)
    : location_(std::move(location)), message_("Could not access " + location_.native() + ".") {}

QString ScanError::errorDescription() const {
    return QStringLiteral("Could not access ") + DisplayText::path(location_) + QLatin1Char('.');
}
