#pragma once

#include "Views/DesignSystem/StyledButton.h"

#include <cstdint>

// "Move to Trash" in the screen's tint: enabled only with something selected and no tool
// operation running (a move beside a running search would be refused anyway).
class ToolsTrashButton : public StyledButton {
    Q_OBJECT
public:
    ToolsTrashButton(const DynamicColor& tint, std::int64_t selectedSize, bool toolWorking, QWidget* parent = nullptr);

    void setState(std::int64_t selectedSize, bool toolWorking);
};
