#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelPage.h"

class QVBoxLayout;
class SymbolButton;
class TextLabel;

// The panel's Docker page: the number of running containers with a refresh button, then loading,
// Docker unavailable (a failed listing), no containers, or the total over the scrolling rows.
// Follows the model; polling belongs to the panel.
class PanelDockerPage : public PanelPage {
    Q_OBJECT
public:
    PanelDockerPage(const PanelContext& context, QWidget* parent = nullptr);

    void refresh() override {}

    TextLabel* runningCount() const { return running_; }
    SymbolButton* refreshButton() const { return refreshButton_; }

private:
    void rebuild();

    PanelContext context_;
    TextLabel* running_;
    SymbolButton* refreshButton_;
    QVBoxLayout* stateArea_;
    QWidget* state_ = nullptr;
};
