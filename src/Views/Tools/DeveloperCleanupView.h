#pragma once

#include "Views/Tools/CandidateListView.h"

// Developer caches: the cache folders of the developer tools.
class DeveloperCleanupView : public CandidateListView {
    Q_OBJECT
public:
    explicit DeveloperCleanupView(AppState& state, QWidget* parent = nullptr);
};
