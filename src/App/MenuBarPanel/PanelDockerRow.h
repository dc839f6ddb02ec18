#pragma once

#include "Models/DockerAction.h"
#include "Models/DockerContainer.h"

#include "Views/Common/RaisedPanel.h"

#include <functional>
#include <optional>

class StyledButton;

// One container of the Docker page: state dot, name and status, image, live figures while it runs,
// published ports, the failure of its last action, and start, or stop and kill.
class PanelDockerRow : public RaisedPanel {
    Q_OBJECT
public:
    PanelDockerRow(const DockerContainer& container, bool busy, const std::optional<QString>& actionError,
                   std::function<void(DockerAction)> perform, QWidget* parent = nullptr);

    // "CPU 0.5%   MEM 12MiB / 1GiB" with "—" for a figure that was not read.
    static QString statisticsText(const DockerContainer& container);

    StyledButton* button(DockerAction action) const;

private:
    std::vector<std::pair<DockerAction, StyledButton*>> buttons_;
};
