#include "Services/ErrorDescription.h"

#include "Models/AppLocalization.h"
#include "Services/ScanError.h"

#include <stdexcept>

QString errorDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ScanError& scan) {
        return scan.errorDescription();
    } catch (const std::exception& known) {
        const QString text = QString::fromUtf8(known.what());
        if (!text.isEmpty()) return text;
    } catch (...) {
    }
    return AppLocalization::string("error.unknown");
}
