#include "Models/TrashFigureTexts.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"

namespace TrashFigureTexts {

QString freedBytes(std::int64_t count, bool upTo) {
    const QString bytes = ByteFormatting::string(count);
    return upTo && count > 0 ? AppLocalization::format("tools.upTo", {bytes}) : bytes;
}

QString question(const TrashFigures& figures) {
    const QString moved = ByteFormatting::string(figures.moved);
    if (figures.freed <= 0) return AppLocalization::format("tools.trash.detail.freesNothing", {moved});
    return AppLocalization::format("tools.trash.detail", {moved, freedBytes(figures.freed, figures.freedUpTo)});
}

QString moved(const TrashFigures& figures) {
    const QString moved = ByteFormatting::string(figures.moved);
    if (figures.freed <= 0) return AppLocalization::format("tools.movedFigures.freesNothing", {moved});
    return AppLocalization::format("tools.movedFigures", {moved, freedBytes(figures.freed, figures.freedUpTo)});
}

}  // namespace TrashFigureTexts
