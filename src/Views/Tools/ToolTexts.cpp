#include "Views/Tools/ToolTexts.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"

namespace ToolTexts {

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

QString freedBytes(std::int64_t count, bool upTo) { return upTo ? AppLocalization::format("tools.upTo", {bytes(count)}) : bytes(count); }

QString selectionDetail(std::int64_t count, bool upTo) {
    return AppLocalization::format("tools.selected", {freedBytes(count, upTo)}) + QStringLiteral(" \u00B7 ") +
           AppLocalization::string("tools.recoverable");
}

QString cleanupDetail(const CleanupCandidate& candidate) {
    const QString detail = DisplayText::name(candidate.reasonDetail);
    switch (candidate.reason) {
    case CleanupReason::none: break;
    case CleanupReason::holdsWhole: return AppLocalization::format("cleanup.reason.whole", {AppLocalization::string(candidate.reasonDetail)});
    case CleanupReason::runsProgram: return AppLocalization::format("cleanup.reason.program", {detail});
    case CleanupReason::inUse: return AppLocalization::format("cleanup.reason.inUse", {detail});
    case CleanupReason::desktopOwn: return AppLocalization::string("cleanup.reason.desktop");
    case CleanupReason::notRebuilt: return AppLocalization::string("cleanup.reason.notRebuilt");
    case CleanupReason::mount: return AppLocalization::string("cleanup.reason.mount");
    }
    return AppLocalization::string(candidate.detailKey);
}

}  // namespace ToolTexts
