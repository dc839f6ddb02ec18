#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelPage.h"

class DockerMessageLabel;
class LazyRowStack;
class PanelDockerRow;
class QScrollArea;
class SymbolButton;
class TextLabel;

// The panel's Docker page: the number of running containers with a refresh button, then loading,
// Docker unavailable (a failed listing), no containers, or the total over the scrolling rows.
// Follows the model, updating what it shows in place: rows stay the same widgets and the list
// keeps its scroll position across refreshes. Rows are built as far as the reader scrolls. Polling
// belongs to the panel.
class PanelDockerPage : public PanelPage {
    Q_OBJECT
public:
    PanelDockerPage(const PanelContext& context, QWidget* parent = nullptr);

    void refresh() override {}

    static constexpr int listHeight = 350;  // the most the list takes before it scrolls

    TextLabel* runningCount() const { return running_; }
    SymbolButton* refreshButton() const { return refreshButton_; }
    QWidget* loading() const { return loading_; }
    QWidget* unavailable() const { return unavailable_; }
    DockerMessageLabel* errorText() const { return errorText_; }
    QWidget* empty() const { return empty_; }
    TextLabel* total() const { return total_; }
    QScrollArea* list() const { return list_; }
    std::vector<PanelDockerRow*> builtRows() const;

private:
    void follow();

    PanelContext context_;
    TextLabel* running_;
    SymbolButton* refreshButton_;
    QWidget* loading_;
    QWidget* unavailable_;
    DockerMessageLabel* errorText_;
    QWidget* empty_;
    TextLabel* total_;
    QScrollArea* list_;
    LazyRowStack* rows_;
};
