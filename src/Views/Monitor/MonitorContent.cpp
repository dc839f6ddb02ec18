#include "Views/Monitor/MonitorContent.h"

#include "Models/AppLocalization.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/DashboardPage.h"
#include "Views/Common/FadingStack.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/Monitor/BatteryPage.h"
#include "Views/Monitor/DiskPage.h"
#include "Views/Monitor/MemoryPage.h"
#include "Views/Monitor/MonitorOverviewPage.h"
#include "Views/Monitor/NetworkPage.h"
#include "Views/Monitor/ProcessorPage.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Projects/ProjectsPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int pageFadeMs = 200;

}  // namespace

MonitorContent::MonitorContent(SystemMonitor& monitor, QWidget* parent)
    : QWidget(parent), monitor_(&monitor), stopConfirmation_(new ProjectStopConfirmation(&monitor, this)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new DashboardPage;
    outer->addWidget(scroll);
    QVBoxLayout* stack = scroll->beginContent();

    std::vector<TabItem> items;
    for (MonitorTab tab : MonitorTabPresentation::allTabs)
        items.push_back({MonitorTabPresentation::id(tab), AppLocalization::string(MonitorTabPresentation::titleKey(tab)),
                         MonitorTabPresentation::symbol(tab), MonitorTabPresentation::tint(tab)});
    tabBar_ = new PillTabBar(items, MonitorTabPresentation::id(tab_), true);
    tabBar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(tabBar_, &PillTabBar::selectionChanged, this, [this](const QString& id) {
        for (MonitorTab tab : MonitorTabPresentation::allTabs)
            if (MonitorTabPresentation::id(tab) == id) setTab(tab);
    });
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 4);
    header->addWidget(tabBar_);
    header->addStretch(1);
    header->addWidget(new Pill(AppLocalization::string("monitor.privacy.title"), QStringLiteral("lock.fill"), DS::green));
    stack->addLayout(header);

    pages_ = new FadingStack(pageFadeMs);
    stack->addWidget(pages_, 1);
    scroll->endContent();
    pages_->setCurrent(makePage(tab_));

    // A sample sends a signal per figure; the page is set once, after the last of them.
    for (auto signal : {&SystemMonitor::metricsChanged, &SystemMonitor::appsChanged, &SystemMonitor::batteryChanged, &SystemMonitor::capacityChanged})
        connect(monitor_, signal, this, &MonitorContent::scheduleRefresh);
}

void MonitorContent::setTab(MonitorTab tab) {
    tabBar_->setSelection(MonitorTabPresentation::id(tab));
    if (tab == tab_) return;
    tab_ = tab;
    pages_->setCurrent(makePage(tab));
}

QWidget* MonitorContent::makePage(MonitorTab tab) {
    MonitorPageContext context{*monitor_, [this](MonitorTab next) { setTab(next); }};
    switch (tab) {
    case MonitorTab::overview: page_ = new MonitorOverviewPage(context); break;
    case MonitorTab::cpu: page_ = new ProcessorPage(context); break;
    case MonitorTab::memory: page_ = new MemoryPage(context); break;
    case MonitorTab::disk: page_ = new DiskPage(context); break;
    case MonitorTab::network: page_ = new NetworkPage(context); break;
    case MonitorTab::battery: page_ = new BatteryPage(context); break;
    case MonitorTab::projects:
        // The projects page follows the monitor's projects by itself.
        page_ = nullptr;
        return new ProjectsPage(monitor_, stopConfirmation_);
    }
    return page_;
}

QWidget* MonitorContent::shownPage() const { return pages_->current(); }

long long MonitorContent::processCount(const std::vector<AppUsage>& apps) {
    long long count = 0;
    for (const AppUsage& app : apps) count += app.processCount;
    return count;
}

std::vector<double> MonitorContent::values(const std::vector<MetricPoint>& points) {
    std::vector<double> result;
    result.reserve(points.size());
    for (const MetricPoint& point : points) result.push_back(point.value);
    return result;
}

void MonitorContent::scheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    QMetaObject::invokeMethod(this, &MonitorContent::refresh, Qt::QueuedConnection);
}

void MonitorContent::refresh() {
    refreshPending_ = false;
    if (page_ && monitor_) page_->refresh();
}
