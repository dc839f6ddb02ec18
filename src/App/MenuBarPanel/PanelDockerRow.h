#pragma once

#include "Models/DockerAction.h"
#include "Models/DockerContainer.h"

#include "Views/Common/RaisedPanel.h"

#include <functional>
#include <optional>

class DockerMessageLabel;
class DotView;
class StyledButton;
class TextLabel;

// One container of the Docker page: state dot, name and status, image, live figures while it runs,
// published ports, the failure of its last action, and start, or stop and kill. A refresh shows the
// container's new figures in the same row.
class PanelDockerRow : public RaisedPanel {
    Q_OBJECT
public:
    PanelDockerRow(std::function<void(DockerAction, const DockerContainer&)> perform, QWidget* parent = nullptr);

    void present(const DockerContainer& container, bool busy, const std::optional<QString>& actionError);

    // "CPU 0.5%   MEM 12MiB / 1GiB" with "—" for a figure that was not read.
    static QString statisticsText(const DockerContainer& container);

    const DockerContainer& container() const { return container_; }
    // The action's button, when the row shows it.
    StyledButton* button(DockerAction action) const;
    DockerMessageLabel* actionError() const { return failure_; }

private:
    DockerContainer container_;
    DotView* dot_;
    TextLabel* name_;
    TextLabel* status_;
    TextLabel* image_;
    TextLabel* statistics_;
    TextLabel* ports_;
    DockerMessageLabel* failure_;
    std::vector<std::pair<DockerAction, StyledButton*>> buttons_;
};
