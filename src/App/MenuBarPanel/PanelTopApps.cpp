#include "App/MenuBarPanel/PanelTopApps.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/Common/AppIconSlot.h"
#include "Views/Common/Hairline.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <limits>

PanelTopApps::PanelTopApps(const DynamicColor& tint, Metric metric, Value value, QWidget* parent)
    : QWidget(parent), tint_(tint), metric_(std::move(metric)), value_(std::move(value)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    stack->addSpacing(6);
    stack->addWidget(new Hairline);
    stack->addSpacing(6);
    stack->addWidget(new TextLabel(AppLocalization::string("menubar.topApps"), Fonts::system(13), DynamicColor::secondary()));
    rows_ = new QVBoxLayout;
    rows_->setContentsMargins(0, 0, 0, 0);
    stack->addLayout(rows_);
}

std::vector<double> PanelTopApps::fractions(const std::vector<AppUsage>& apps, const Metric& metric) {
    const double scale = std::max(apps.empty() ? 1.0 : metric(apps.front()), std::numeric_limits<double>::denorm_min());
    std::vector<double> result;
    for (const AppUsage& app : apps) result.push_back(metric(app) / scale);
    return result;
}

void PanelTopApps::setApps(const std::vector<AppUsage>& apps) {
    auto* content = new QWidget;
    auto* list = new QVBoxLayout(content);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(10);
    if (apps.empty()) {
        auto* gathering = new TextLabel(AppLocalization::string("monitor.gathering"), Fonts::system(13), DynamicColor::tertiary());
        gathering->setObjectName("gathering");
        list->addWidget(gathering);
    }
    const std::vector<double> bars = fractions(apps, metric_);
    for (std::size_t i = 0; i < apps.size(); ++i) {
        auto* row = new QHBoxLayout;
        row->setSpacing(10);
        // The application's icon, or a badge while there is none to show.
        auto* icon = new IconImageView({}, 20);
        row->addWidget(icon);
        auto* badge = new IconBadge("app", DS::gray, 20);
        row->addWidget(badge);
        auto* name = new TextLabel(DisplayText::name(QString::fromStdString(apps[i].name)), Fonts::system(13));
        name->setObjectName("appName");
        row->addWidget(name, 1);
        row->addSpacing(8);
        auto* bar = new ThinBar(bars[i], tint_, 4);
        bar->setFixedWidth(64);
        row->addWidget(bar);
        auto* value = new TextLabel(value_(apps[i]), Fonts::system(13, QFont::Medium));
        value->setObjectName("appValue");
        value->setAlignment(Qt::AlignTrailing);
        value->setFixedWidth(70);
        row->addWidget(value);
        list->addLayout(row);
        auto* iconSlot = new AppIconSlot(icon, [icon, badge](const QIcon& shown) {
            icon->setIcon(shown);
            icon->setVisible(!shown.isNull());
            badge->setVisible(shown.isNull());
        });
        iconSlot->setIconName(apps[i].iconName);
    }
    delete rowsContent_;
    rowsContent_ = content;
    rows_->addWidget(content);
    // Added to a shown panel, the rows would appear only a turn later, and the panel measured in
    // between shrinks under the pointer; shown now, they count at once.
    content->show();
}
