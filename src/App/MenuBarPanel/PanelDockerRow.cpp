#include "App/MenuBarPanel/PanelDockerRow.h"

#include "App/MenuBarPanel/DockerMessageLabel.h"
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
    return QStringLiteral("CPU ") + DisplayText::name(container.cpu.value_or(unknown)) + QStringLiteral("   MEM ") + DisplayText::name(container.memory.value_or(unknown));
}

PanelDockerRow::PanelDockerRow(std::function<void(DockerAction, const DockerContainer&)> perform, QWidget* parent)
    : RaisedPanel(10, 7, parent) {
    QVBoxLayout* stack = contentLayout();

    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    dot_ = new DotView(DS::gray, 7);
    title->addWidget(dot_);
    name_ = new TextLabel({}, Fonts::system(13, QFont::DemiBold));
    name_->setObjectName("containerName");
    title->addWidget(name_, 1);
    title->addSpacing(4);
    status_ = new TextLabel({}, Fonts::system(10), DynamicColor::secondary());
    title->addWidget(status_);
    stack->addLayout(title);
    image_ = new TextLabel({}, Fonts::system(11), DynamicColor::secondary());
    stack->addWidget(image_);
    statistics_ = new TextLabel({}, Fonts::system(11, QFont::Medium), DS::blue);
    statistics_->setObjectName("statistics");
    statistics_->setLayoutDirection(Qt::LeftToRight);
    stack->addWidget(statistics_);
    ports_ = new TextLabel({}, Fonts::system(10), DynamicColor::tertiary());
    stack->addWidget(ports_);
    failure_ = new DockerMessageLabel(Fonts::system(11), DS::pink);
    failure_->setObjectName("actionError");
    stack->addWidget(failure_);

    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    line->addStretch(1);
    auto add = [&](DockerAction action, const char* key, const DynamicColor& tint) {
        auto* button = new StyledButton(AppLocalization::string(key), {}, SoftButtonStyle{tint});
        // The container as the row shows it when the button is pressed.
        connect(button, &QAbstractButton::clicked, this, [this, perform, action] { perform(action, container_); });
        line->addWidget(button);
        buttons_.emplace_back(action, button);
        return button;
    };
    add(DockerAction::start, "docker.start", DS::green);
    add(DockerAction::stop, "docker.stop", DS::blue);
    add(DockerAction::kill, "docker.kill", DS::pink)->setToolTip(AppLocalization::string("docker.kill.help"));
    stack->addLayout(line);
}

void PanelDockerRow::present(const DockerContainer& container, bool busy, const std::optional<QString>& actionError) {
    container_ = container;
    const bool running = container.isRunning();
    dot_->setColor(running ? DS::green : DS::gray);
    name_->setText(DisplayText::name(container.name));
    status_->setText(DisplayText::name(container.status));
    image_->setText(DisplayText::name(container.image));
    statistics_->setText(statisticsText(container));
    statistics_->setVisible(running);
    ports_->setText(DisplayText::name(container.ports));
    ports_->setVisible(!container.ports.isEmpty());
    failure_->setMessage(actionError.value_or(QString()));
    failure_->setVisible(actionError.has_value());
    for (const auto& [action, button] : buttons_) {
        button->setVisible((action == DockerAction::start) != running);
        button->setEnabled(!busy);
    }
}

StyledButton* PanelDockerRow::button(DockerAction action) const {
    for (const auto& [candidate, button] : buttons_)
        if (candidate == action) return button->isHidden() ? nullptr : button;
    return nullptr;
}
