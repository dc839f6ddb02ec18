#include "Views/Tools/ValueToolPresentation.h"

#include "Models/TextKey.h"
#include "Views/DesignSystem/DS.h"

namespace ValueToolPresentation {

const char* titleKey(ValueTool tool) {
    switch (tool) {
    case ValueTool::duplicates: return textKey("tools.duplicates");
    case ValueTool::cleanup: return textKey("tools.cleanup");
    case ValueTool::forgotten: return textKey("tools.forgotten");
    case ValueTool::history: return textKey("tools.history");
    case ValueTool::startup: return textKey("tools.startup");
    case ValueTool::developer: return textKey("tools.developer");
    }
    return "";
}

const char* detailKey(ValueTool tool) {
    switch (tool) {
    case ValueTool::duplicates: return textKey("tools.duplicates.detail");
    case ValueTool::cleanup: return textKey("tools.cleanup.detail");
    case ValueTool::forgotten: return textKey("tools.forgotten.detail");
    case ValueTool::history: return textKey("tools.history.detail");
    case ValueTool::startup: return textKey("tools.startup.detail");
    case ValueTool::developer: return textKey("tools.developer.detail");
    }
    return "";
}

DynamicColor tint(ValueTool tool) {
    switch (tool) {
    case ValueTool::duplicates: return DS::purple;
    case ValueTool::cleanup: return DS::teal;
    case ValueTool::forgotten: return DS::amber;
    case ValueTool::history: return DS::blue;
    case ValueTool::startup: return DS::pink;
    case ValueTool::developer: return DS::orange;
    }
    return DS::gray;
}

QString symbol(ValueTool tool) {
    switch (tool) {
    case ValueTool::duplicates: return QStringLiteral("doc.on.doc");
    case ValueTool::cleanup: return QStringLiteral("sparkles");
    case ValueTool::forgotten: return QStringLiteral("clock.badge.questionmark");
    case ValueTool::history: return QStringLiteral("chart.xyaxis.line");
    case ValueTool::startup: return QStringLiteral("power");
    case ValueTool::developer: return QStringLiteral("hammer");
    }
    return {};
}

}  // namespace ValueToolPresentation
