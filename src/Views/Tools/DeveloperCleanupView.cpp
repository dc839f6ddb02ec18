#include "Views/Tools/DeveloperCleanupView.h"

#include "Services/AppState.h"

DeveloperCleanupView::DeveloperCleanupView(AppState& state, QWidget* parent)
    : CandidateListView(state, ValueTool::developer, &AppState::developerCandidates, &AppState::loadDeveloperCandidates,
                        QStringLiteral("developer.empty"), QStringLiteral("developer.empty.detail"), parent) {}
