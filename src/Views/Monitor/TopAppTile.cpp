#include "Views/Monitor/TopAppTile.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Common/AppIconSlot.h"
#include "Views/Monitor/MonitorText.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TopAppTile::TopAppTile(const DynamicColor& tint, QWidget* parent) : CardModifier(20, 16, parent) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(14);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(10);
    heading->addWidget(new IconBadge(QStringLiteral("square.grid.2x2"), tint, 26));
    heading->addWidget(new TextLabel(AppLocalization::string("monitor.topApp"), Fonts::system(14), DynamicColor::secondary()), 1);
    stack->addLayout(heading);

    auto* appLine = new QWidget;
    appLine->setFixedHeight(34);
    auto* appRow = new QHBoxLayout(appLine);
    appRow->setContentsMargins(0, 0, 0, 0);
    appRow->setSpacing(10);
    icon_ = new IconImageView({}, 28);
    appRow->addWidget(icon_);
    // An application without an icon gets the placeholder badge its list row shows.
    placeholder_ = new IconBadge(QStringLiteral("app"), tint, 28);
    appRow->addWidget(placeholder_);
    iconSlot_ = new AppIconSlot(this, [this](const QIcon& icon) { showIcon(icon); });
    name_ = new TextLabel({}, Fonts::system(17, QFont::DemiBold));
    appRow->addWidget(name_, 1);
    gathering_ = new TextLabel(AppLocalization::string("monitor.gathering"), Fonts::system(15), DynamicColor::secondary());
    appRow->addWidget(gathering_, 1);
    stack->addWidget(appLine);

    value_ = new TextLabel({}, Fonts::system(14, QFont::DemiBold));
    stack->addWidget(value_);
    stack->addStretch(1);
    setApp(std::nullopt, std::nullopt);
}

QSize TopAppTile::sizeHint() const { return CardModifier::sizeHint().expandedTo(QSize(0, 120)); }
QSize TopAppTile::minimumSizeHint() const { return CardModifier::minimumSizeHint().expandedTo(QSize(0, 120)); }

void TopAppTile::setApp(const std::optional<AppUsage>& app, const std::optional<QString>& value) {
    if (app) {
        iconSlot_->setIconName(app->iconName);
        name_->setText(DisplayText::name(QString::fromStdString(app->name)));
    } else {
        iconSlot_->setIconName({});
        icon_->setVisible(false);
        placeholder_->setVisible(false);
    }
    name_->setVisible(app.has_value());
    gathering_->setVisible(!app);
    value_->setText(value.value_or(MonitorText::unknown()));
}

void TopAppTile::showIcon(const QIcon& icon) {
    icon_->setIcon(icon);
    icon_->setVisible(!icon.isNull());
    placeholder_->setVisible(icon.isNull());
}

bool TopAppTile::showsPlaceholder() const { return !placeholder_->isHidden(); }
