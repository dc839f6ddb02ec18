#include "Services/ScanError.h"

#include "Foundation/PathText.h"

ScanError::ScanError(std::filesystem::path location)
    : location_(std::move(location)), message_("Could not access " + location_.native() + ".") {}

QString ScanError::errorDescription() const {
    return QStringLiteral("Could not access ") + PathText::display(location_) + QLatin1Char('.');
}
