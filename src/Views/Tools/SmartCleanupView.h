#pragma once

#include "Views/Tools/CandidateListView.h"

// Smart cleanup: the user's caches and logs, and installer files in the downloads folder.
class SmartCleanupView : public CandidateListView {
    Q_OBJECT
public:
    explicit SmartCleanupView(AppState& state, QWidget* parent = nullptr);
};
