#include "App/MenuBarPanel/PanelDockerRow.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

QString PanelDockerRow::statisticsText(const DockerContainer& container) {
    const QString unknown = QStringLiteral("—");
    return QStringLiteral("CPU ") + container.cpu.value_or(unknown) + QStringLiteral("   MEM ") + container.memory.value_or(unknown);
}

PanelDockerRow::PanelDockerRow(const DockerContainer& container, bool busy, const std::optional<QString>& actionError,
                               std::function<void(DockerAction)> perform, QWidget* parent)
    : RaisedPanel(10, 7, parent) {
    const bool running = container.isRunning();
    QVBoxLayout* stack = contentLayout();

    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    title->addWidget(new DotView(running ? DS::green : DS::gray, 7));
    auto* name = new TextLabel(DisplayText::name(container.name), Fonts::system(13, QFont::DemiBold));
    name->setObjectName("containerName");
    title->addWidget(name, 1);
    title->addSpacing(4);
    title->addWidget(new TextLabel(container.status, Fonts::system(10), DynamicColor::secondary()));
    stack->addLayout(title);
    stack->addWidget(new TextLabel(container.image, Fonts::system(11), DynamicColor::secondary()));
    if (running) {
        auto* statistics = new TextLabel(statisticsText(container), Fonts::system(11, QFont::Medium), DS::blue);
        statistics->setObjectName("statistics");
        statistics->setLayoutDirection(Qt::LeftToRight);
        stack->addWidget(statistics);
    }
    if (!container.ports.isEmpty()) stack->addWidget(new TextLabel(container.ports, Fonts::system(10), DynamicColor::tertiary()));
    if (actionError) {
        auto* failure = new TextLabel(*actionError, Fonts::system(11), DS::pink);
        failure->setObjectName("actionError");
        failure->setWordWrap(true);
        stack->addWidget(failure);
    }

    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    line->addStretch(1);
    auto add = [&](DockerAction action, const char* key, const DynamicColor& tint) {
        auto* button = new StyledButton(AppLocalization::string(key), {}, SoftButtonStyle{tint});
        button->setEnabled(!busy);
        connect(button, &QAbstractButton::clicked, this, [perform, action] { perform(action); });
        line->addWidget(button);
        buttons_.emplace_back(action, button);
        return button;
    };
    if (running) {
        add(DockerAction::stop, "docker.stop", DS::blue);
        add(DockerAction::kill, "docker.kill", DS::pink)->setToolTip(AppLocalization::string("docker.kill.help"));
    } else {
        add(DockerAction::start, "docker.start", DS::green);
    }
    stack->addLayout(line);
}

StyledButton* PanelDockerRow::button(DockerAction action) const {
    for (const auto& [candidate, button] : buttons_)
        if (candidate == action) return button;
    return nullptr;
}
