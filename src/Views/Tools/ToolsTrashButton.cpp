#include "Views/Tools/ToolsTrashButton.h"

#include "Models/AppLocalization.h"

ToolsTrashButton::ToolsTrashButton(const DynamicColor& tint, std::int64_t selectedSize, bool toolWorking, QWidget* parent)
    : StyledButton(AppLocalization::string("tools.moveToTrash"), QStringLiteral("trash"), TintedButtonStyle{tint}, parent) {
    setObjectName("toolsTrash");
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setState(selectedSize, toolWorking);
}

void ToolsTrashButton::setState(std::int64_t selectedSize, bool toolWorking) { setEnabled(selectedSize > 0 && !toolWorking); }
