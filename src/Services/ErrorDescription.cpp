#include "Services/ErrorDescription.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/ScanError.h"
#include "Services/UninstallError.h"

#include <QStringList>

#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

QString trashDescription(const TrashError& error) {
    const QString name = DisplayText::name(error.item().filename());
    if (error.reason() == TrashError::Reason::noTrash) return AppLocalization::format("trash.unavailable", {name});
    if (error.reason() == TrashError::Reason::changed) return AppLocalization::format("trash.changed", {name});
    return AppLocalization::format("trash.failed", {name, trashFailureReason(error)});
}

}  // namespace

QString trashFailureReason(const TrashError& error) {
    switch (error.reason()) {
    case TrashError::Reason::noTrash: return AppLocalization::string("trash.reason.noTrash");
    case TrashError::Reason::changed: return AppLocalization::string("trash.reason.changed");
    case TrashError::Reason::trashFolder: return AppLocalization::string("trash.reason.trashFolder");
    case TrashError::Reason::mounted: return AppLocalization::string("trash.reason.mounted");
    case TrashError::Reason::moveFailed: break;
    }
    return QString::fromLocal8Bit(std::strerror(error.systemError()));
}

QStringList fewLines(const QStringList& lines) {
    constexpr qsizetype shownAtMost = 5;
    if (lines.size() <= shownAtMost + 1) return lines;  // "and 1 more" would take the same line
    QStringList few = lines.first(shownAtMost);
    few << AppLocalization::format("tools.andMore", {static_cast<long long>(lines.size() - shownAtMost)});
    return few;
}

QString errorDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ScanError& scan) {
        return scan.errorDescription();
    } catch (const UninstallError& partial) {
        // What went, then each item that did not, one a line.
        QStringList lines;
        if (!partial.movedLocations().empty())
            lines << AppLocalization::format("uninstaller.movedCount", {static_cast<long long>(partial.movedLocations().size())});
        QStringList failures;
        for (const TrashError& failure : partial.failures()) failures << trashDescription(failure);
        lines << fewLines(failures);
        return lines.join(QLatin1Char('\n'));
    } catch (const TrashError& trash) {
        return trashDescription(trash);
    } catch (const std::filesystem::filesystem_error& library) {
        // The library's text names both sides of a rename as stored: every control in it is the names'.
        const QString text = DisplayText::name(QString::fromUtf8(library.what()));
        if (!text.isEmpty()) return text;
    } catch (const std::exception& known) {
        // Our own messages place each name as an isolated run, its own controls already shown: those
        // isolates stay invisible, any other control is shown.
        const QString text = DisplayText::withStrayControlsShown(QString::fromUtf8(known.what()));
        if (!text.isEmpty()) return text;
    } catch (...) {
    }
    return AppLocalization::string("error.unknown");
}
