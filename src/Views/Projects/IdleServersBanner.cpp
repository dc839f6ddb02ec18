#include "Views/Projects/IdleServersBanner.h"

#include "Models/AppLocalization.h"
#include "Views/Common/IsolatedText.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Projects/ProjectFormat.h"

#include <QHBoxLayout>

QString IdleServersBanner::title(const std::vector<DevProject>& idle) {
    return AppLocalization::format("projects.banner.title", {(long long)idle.size()});
}

QString IdleServersBanner::detail(const std::vector<DevProject>& idle) {
    return AppLocalization::format("projects.banner.detail", {isolatedLeftToRight(ProjectFormat::memory(idle)), isolatedLeftToRight(ProjectFormat::ports(idle))});
}

IdleServersBanner::IdleServersBanner(const std::vector<DevProject>& idle, std::function<void()> stop, QWidget* parent)
    : Banner("moon.fill", title(idle), detail(idle), DS::orange, parent),
      stopAll_(new StyledButton(AppLocalization::string("projects.stopAll"), {}, TintedButtonStyle{DS::orange})) {
    connect(stopAll_, &QAbstractButton::clicked, this, [stop = std::move(stop)] { stop(); });
    actionsLayout()->addWidget(stopAll_);
}
