#include "Views/Tools/ToolTexts.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"

namespace ToolTexts {

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

QString selectionDetail(std::int64_t count) {
    return AppLocalization::format("tools.selected", {bytes(count)}) + QStringLiteral(" \u00B7 ") +
           AppLocalization::string("tools.recoverable");
}

}  // namespace ToolTexts
