#include "Views/Tools/SmartCleanupView.h"

#include "Services/AppState.h"

SmartCleanupView::SmartCleanupView(AppState& state, QWidget* parent)
    : CandidateListView(state, ValueTool::cleanup, &AppState::cleanupCandidates, &AppState::loadCleanupCandidates, QStringLiteral("cleanup.empty"),
                        QStringLiteral("cleanup.empty.detail"), parent) {}
