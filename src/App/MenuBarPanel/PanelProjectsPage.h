#pragma once

#include "App/MenuBarPanel/PanelContext.h"
#include "App/MenuBarPanel/PanelPage.h"
#include "Models/DevProject.h"

#include <vector>

class QVBoxLayout;

// The panel's projects page: how many developer projects run and the memory they hold, a notice
// with stop-all when some are idle servers, the first seven as compact rows and a link to the
// monitor for the rest. Rebuilt when the monitor republishes its projects.
class PanelProjectsPage : public PanelPage {
    Q_OBJECT
public:
    static constexpr std::size_t shownRows = 7;

    PanelProjectsPage(const PanelContext& context, QWidget* parent = nullptr);

    void refresh() override {}
    void present(const std::vector<DevProject>& projects, Instant now);

private:
    void rebuild();

    PanelContext context_;
    QVBoxLayout* layout_;
    QWidget* content_ = nullptr;
};
