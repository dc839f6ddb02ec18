#include "Services/ErrorDescription.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/ScanError.h"
#include "Services/UninstallError.h"

#include <cstring>
#include <stdexcept>

namespace {

QString trashDescription(const TrashError& error) {
    const QString name = DisplayText::name(error.item().filename());
    if (error.reason() == TrashError::Reason::noTrash) return AppLocalization::format("trash.unavailable", {name});
    return AppLocalization::format("trash.failed", {name, QString::fromLocal8Bit(std::strerror(error.systemError()))});
}

}  // namespace

QString errorDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ScanError& scan) {
        return scan.errorDescription();
    } catch (const UninstallError& partial) {
        const QString cause = trashDescription(partial);
        if (partial.movedLocations().empty()) return cause;
        return AppLocalization::format("uninstaller.movedBeforeFailure", {static_cast<long long>(partial.movedLocations().size()), cause});
    } catch (const TrashError& trash) {
        return trashDescription(trash);
    } catch (const std::exception& known) {
        const QString text = QString::fromUtf8(known.what());
        if (!text.isEmpty()) return text;
    } catch (...) {
    }
    return AppLocalization::string("error.unknown");
}
