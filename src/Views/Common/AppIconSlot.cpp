#include "Views/Common/AppIconSlot.h"

#include "Views/Common/AppIcons.h"

AppIconSlot::AppIconSlot(QObject* parent, std::function<void(const QIcon&)> show) : QObject(parent), show_(std::move(show)) {
    connect(&AppIcons::shared(), &AppIcons::iconReady, this, [this](const std::string& iconName) {
        if (iconName == iconName_) show_(AppIcons::shared().icon(iconName_));
    });
}

void AppIconSlot::setIconName(const std::string& iconName) {
    iconName_ = iconName;
    show_(AppIcons::shared().icon(iconName_));
}
