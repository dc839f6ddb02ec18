#include "Views/Monitor/BatteryPage.h"

#include "Models/AppLocalization.h"
#include "Services/SystemMonitor.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/TrendHero.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

using MonitorText::text;

}  // namespace

BatteryPage::BatteryPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);

    battery_ = new QWidget;
    auto* stack = new QVBoxLayout(battery_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new TrendHero(DS::green, AreaTrend::Range{0, 1});
    stack->addWidget(hero_);
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    healthBar_ = new ThinBar(0, DS::green, 5);
    health_ = new StatTile(text("monitor.health"), QStringLiteral("heart"), DS::green, {}, healthBar_);
    cycles_ = new StatTile(text("monitor.cycles"), QStringLiteral("arrow.triangle.2.circlepath"), DS::green, {});
    power_ = new StatTile(text("monitor.powerDraw"), QStringLiteral("bolt"), DS::green, {});
    status_ = new StatTile(text("monitor.status"), QStringLiteral("powerplug"), DS::green, {});
    for (QWidget* tile : std::initializer_list<QWidget*>{health_, cycles_, power_, status_}) row->addWidget(tile, 1);
    stack->addLayout(row);
    page->addWidget(battery_);

    desktopNote_ = new CardModifier(24, 18);
    QVBoxLayout* note = desktopNote_->contentLayout();
    note->setContentsMargins(24, 24 + 60, 24, 24 + 60);
    note->setSpacing(14);
    note->addWidget(new IconBadge(QStringLiteral("desktopcomputer"), DS::green, 56), 0, Qt::AlignHCenter);
    auto* title = new TextLabel(text("monitor.desktop"), Fonts::system(22, QFont::Bold));
    title->setAlignment(Qt::AlignHCenter);
    note->addWidget(title);
    auto* detail = new TextLabel(text("monitor.desktop.detail"), Fonts::system(13), DynamicColor::secondary());
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignHCenter);
    note->addWidget(detail);
    page->addWidget(desktopNote_);
    page->addStretch(1);
    refresh();
}

bool BatteryPage::showsDesktopNote() const { return !desktopNote_->isHidden(); }

void BatteryPage::refresh() {
    const SystemMonitor& m = monitor();
    const SystemMetrics& metrics = m.metrics();
    const BatteryDetail& battery = m.battery();
    const bool hasBattery = metrics.batteryPercent.has_value();
    battery_->setVisible(hasBattery);
    desktopNote_->setVisible(!hasBattery);
    if (!hasBattery) return;

    const QString status = MonitorText::batteryStatus(metrics, battery);
    const QString watts = MonitorText::watts(battery.watts);
    std::optional<DomainCard::Badge> charging;
    if (metrics.isCharging) charging = DomainCard::Badge{text("monitor.chargingShort"), QStringLiteral("bolt.fill"), DS::green};
    hero_->setFigures({status, MonitorText::wholePercent(*metrics.batteryPercent), MonitorText::percentSign(), charging,
                       {{text("monitor.remaining"), MonitorText::remaining(battery.minutesRemaining)}, {text("monitor.powerDraw"), watts}}});
    hero_->setPoints(m.batteryHistory());

    health_->setValue(battery.health ? Fmt::percent(*battery.health) : MonitorText::unknown());
    healthBar_->setFraction(battery.health.value_or(0));
    cycles_->setValue(battery.cycleCount ? AppLocalization::activeLocale().toString(*battery.cycleCount) : MonitorText::unknown());
    power_->setValue(watts);
    status_->setValue(status);
}
