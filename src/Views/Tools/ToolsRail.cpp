#include "Views/Tools/ToolsRail.h"

#include "Services/AppState.h"
#include "Views/Tools/ToolsRailRow.h"

#include <QVBoxLayout>

ToolsRail::ToolsRail(AppState& state, ValueTool selection, QWidget* parent) : CardModifier(10, 18, parent), state_(state) {
    contentLayout()->setSpacing(4);
    for (const auto& [tool, raw] : RawValues<ValueTool>::table) {
        auto* row = new ToolsRailRow(tool);
        row->setObjectName(QString::fromUtf8(raw.data(), qsizetype(raw.size())));
        connect(row, &QAbstractButton::clicked, this, [this, chosen = tool] {
            setSelection(chosen);
            emit selectionChanged(chosen);
        });
        contentLayout()->addWidget(row);
        rows_.push_back(row);
    }
    setSelection(selection);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (auto changed : {&AppState::duplicateGroupsChanged, &AppState::cleanupCandidatesChanged, &AppState::forgottenFilesChanged,
                         &AppState::startupItemsChanged, &AppState::developerCandidatesChanged})
        connect(&state_, changed, this, &ToolsRail::refreshCounts);
    refreshCounts();
}

void ToolsRail::setSelection(ValueTool tool) {
    for (ToolsRailRow* row : rows_) row->setSelected(row->tool() == tool);
}

std::optional<int> ToolsRail::count(const AppState& state, ValueTool tool) {
    std::size_t entries = 0;
    switch (tool) {
    case ValueTool::duplicates: entries = state.duplicateGroups().size(); break;
    case ValueTool::cleanup: entries = state.cleanupCandidates().size(); break;
    case ValueTool::forgotten: entries = state.forgottenFiles().size(); break;
    case ValueTool::history: return std::nullopt;
    case ValueTool::startup: entries = state.startupItems().size(); break;
    case ValueTool::developer: entries = state.developerCandidates().size(); break;
    }
    if (entries == 0) return std::nullopt;
    return int(std::min<std::size_t>(entries, std::size_t(std::numeric_limits<int>::max())));
}

void ToolsRail::refreshCounts() {
    for (ToolsRailRow* row : rows_) row->setCount(count(state_, row->tool()));
}
