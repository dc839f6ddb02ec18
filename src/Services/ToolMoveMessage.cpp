#include "Services/ToolMoveMessage.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/TextKey.h"
#include "Services/ErrorDescription.h"

#include <QStringList>

namespace {

// A count under `headerKey`, then the first few items, one a line; nothing when there are none.
QStringList leftItemsNote(const char* headerKey, const QStringList& items) {
    if (items.empty()) return {};
    return QStringList{AppLocalization::format(headerKey, {static_cast<long long>(items.size())})} + fewLines(items);
}

}  // namespace

QString toolMoveMessage(const TrashResult& result) {
    QStringList changed, failed;
    for (const std::filesystem::path& path : result.changed) changed << DisplayText::path(path);
    for (const TrashError& failure : result.failed)
        failed << AppLocalization::format("tools.notMovedItem", {DisplayText::path(failure.item()), trashFailureReason(failure)});
    QStringList lines{AppLocalization::format("tools.movedCount", {static_cast<long long>(result.moved)})};
    lines << leftItemsNote(textKey("tools.changedNotMoved"), changed) << leftItemsNote(textKey("tools.notMoved"), failed);
    return lines.join(QLatin1Char('\n'));
}
