#pragma once

#include "Models/ValueTool.h"
#include "Views/DesignSystem/CardModifier.h"

#include <optional>
#include <vector>

class AppState;
class ToolsRailRow;

// The six tools in a card, each with the live count of its list.
class ToolsRail : public CardModifier {
    Q_OBJECT
public:
    explicit ToolsRail(AppState& state, ValueTool selection, QWidget* parent = nullptr);

    void setSelection(ValueTool tool);
    const std::vector<ToolsRailRow*>& rows() const { return rows_; }

    // Groups for the duplicate finder, entries for the other lists, none for the history; a count of
    // zero is absent, so an empty list shows no badge.
    static std::optional<int> count(const AppState& state, ValueTool tool);

signals:
    void selectionChanged(ValueTool tool);

private:
    void refreshCounts();

    AppState& state_;
    std::vector<ToolsRailRow*> rows_;
};
