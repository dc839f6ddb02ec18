#include "Views/Monitor/NetworkPage.h"

#include "Models/AppLocalization.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Monitor/TrendHero.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

using MonitorText::text;

}  // namespace

NetworkPage::NetworkPage(MonitorPageContext context, QWidget* parent) : MonitorPage(std::move(context), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new TrendHero(DS::teal, std::nullopt);
    stack->addWidget(hero_);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    download_ = new StatTile(text("monitor.download"), QStringLiteral("arrow.down"), DS::teal, {});
    upload_ = new StatTile(text("monitor.upload"), QStringLiteral("arrow.up"), DS::teal, {});
    downloaded_ = new StatTile(text("monitor.downloadedSession"), QStringLiteral("tray.and.arrow.down"), DS::teal, {});
    uploaded_ = new StatTile(text("monitor.uploadedSession"), QStringLiteral("tray.and.arrow.up"), DS::teal, {});
    for (QWidget* tile : std::initializer_list<QWidget*>{download_, upload_, downloaded_, uploaded_}) row->addWidget(tile, 1);
    stack->addLayout(row);

    auto* uploads = new CardModifier(24, 18);
    uploads->contentLayout()->setSpacing(18);
    uploads->contentLayout()->addWidget(new CardHeader(text("monitor.upload"), QStringLiteral("arrow.up"), DS::teal));
    uploadTrend_ = new AreaTrend({}, DS::teal, std::nullopt, true);
    uploadTrend_->setFixedHeight(180);
    uploads->contentLayout()->addWidget(uploadTrend_);
    stack->addWidget(uploads);
    stack->addStretch(1);
    refresh();
}

void NetworkPage::refresh() {
    const SystemMonitor& m = monitor();
    const MeasuredFigures& measured = m.measured();
    const SystemMetrics& metrics = m.metrics();
    const NetworkSession& session = m.network();
    using MonitorText::known;

    const ValueAndUnit down = measured.network ? ValueAndUnit::split(MonitorText::bytes(metrics.networkDownPerSecond)) : ValueAndUnit{MonitorText::unknown(), {}};
    hero_->setFigures({text("monitor.downloading"), down.value, measured.network ? down.unit + "/s" : QString(), std::nullopt,
                       {{text("monitor.uploading"), known(measured.network, MonitorText::rate(metrics.networkUpPerSecond))},
                        {text("monitor.peak"), known(measured.networkSession, MonitorText::rate(session.peakDown))}}});
    hero_->setPoints(m.downloadHistory());

    download_->setValue(known(measured.network, MonitorText::rate(metrics.networkDownPerSecond)));
    upload_->setValue(known(measured.network, MonitorText::rate(metrics.networkUpPerSecond)));
    downloaded_->setValue(known(measured.networkSession, MonitorText::bytes(session.downloaded)));
    uploaded_->setValue(known(measured.networkSession, MonitorText::bytes(session.uploaded)));
    uploadTrend_->setPoints(m.uploadHistory());
}
