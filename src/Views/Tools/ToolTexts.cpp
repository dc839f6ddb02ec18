#include "Views/Tools/ToolTexts.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"

namespace ToolTexts {

QString isolated(const QString& text) { return QChar(0x2068) + text + QChar(0x2069); }

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

QString selectionDetail(std::int64_t count) {
    return AppLocalization::format("tools.selected", {isolated(bytes(count))}) + QStringLiteral(" \u00B7 ") +
           AppLocalization::string("tools.recoverable");
}

}  // namespace ToolTexts
