#include "Services/ToolMoveMessage.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/TextKey.h"
#include "Models/TrashFigureTexts.h"
#include "Services/ErrorDescription.h"

#include <QStringList>

namespace {

// A count under `headerKey`, then the first few items, one a line; nothing when there are none.
QStringList leftItemsNote(const char* headerKey, const QStringList& items) {
    if (items.empty()) return {};
    return QStringList{AppLocalization::format(headerKey, {static_cast<long long>(items.size())})} + fewLines(items);
}

}  // namespace

QString toolMoveMessage(const TrashResult& result, const TrashFigures& moved) {
    QStringList changed, failed;
    for (const std::filesystem::path& path : result.changed) changed << DisplayText::path(path);
    for (const TrashError& failure : result.failed)
        failed << AppLocalization::format("tools.notMovedItem", {DisplayText::path(failure.item()), trashFailureReason(failure)});
    QString count = AppLocalization::format("tools.movedCount", {static_cast<long long>(result.moved.size())});
    if (!result.moved.empty()) count += QLatin1Char(' ') + TrashFigureTexts::moved(moved);
    QStringList lines{count};
    lines << leftItemsNote(textKey("tools.changedNotMoved"), changed) << leftItemsNote(textKey("tools.notMoved"), failed);
    return lines.join(QLatin1Char('\n'));
}
