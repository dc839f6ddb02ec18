#include "Views/Tools/ToolTexts.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"

namespace ToolTexts {

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

QString selectionDetail(std::int64_t count, bool upTo) {
    return AppLocalization::format("tools.selected", {freedBytes(count, upTo)}) + QStringLiteral(" \u00B7 ") +
           AppLocalization::string("tools.recoverable");
}

QString cleanupDetail(const CleanupCandidate& candidate) {
    // A program's or a file's name is one run in its own direction, like a path: ".bashrc" keeps its
    // dot before the name inside an Arabic sentence.
    const QString name = DisplayText::path(candidate.reasonDetail);
    switch (candidate.reason) {
    case CleanupReason::none: break;
    case CleanupReason::holdsWhole: return AppLocalization::format("cleanup.reason.whole", {AppLocalization::string(candidate.reasonDetail)});
    case CleanupReason::runsProgram: return AppLocalization::format("cleanup.reason.program", {name});
    case CleanupReason::inUse: return AppLocalization::format("cleanup.reason.inUse", {name});
    case CleanupReason::desktopOwn: return AppLocalization::string("cleanup.reason.desktop");
    case CleanupReason::notRebuilt: return AppLocalization::string("cleanup.reason.notRebuilt");
    case CleanupReason::mount: return AppLocalization::string("cleanup.reason.mount");
    case CleanupReason::cannotMove: return AppLocalization::format("cleanup.reason.cannotMove", {name});
    case CleanupReason::linked: return AppLocalization::format("cleanup.reason.linked", {name});
    case CleanupReason::holdsProgram: return AppLocalization::string("cleanup.reason.holdsProgram");
    case CleanupReason::unsavedWork: return AppLocalization::format("cleanup.reason.unsavedWork", {name});
    case CleanupReason::editHistory: return AppLocalization::format("cleanup.reason.editHistory", {name});
    }
    return AppLocalization::string(candidate.detailKey);
}

QString cleanupSize(const CleanupCandidate& candidate) {
    // A lower bound where folders could not be read; otherwise what a move frees, "up to" where compressed.
    if (candidate.unreadableFolders < 1) return freedBytes(candidate.size, candidate.freed.upTo);
    return AppLocalization::format("cleanup.size.unreadable", {bytes(candidate.size), qlonglong(candidate.unreadableFolders)});
}

}  // namespace ToolTexts
