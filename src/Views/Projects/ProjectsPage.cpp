#include "Views/Projects/ProjectsPage.h"

#include "Models/AppLocalization.h"
#include "Services/SystemMonitor.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/Projects/IdleRule.h"
#include "Views/Projects/IdleServersBanner.h"
#include "Views/Projects/ProjectFormat.h"
#include "Views/Projects/ProjectRow.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Projects/ProjectsEmptyState.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ProjectsPage::ProjectsPage(SystemMonitor* monitor, ProjectStopConfirmation* confirmation, Clock clock, QWidget* parent)
    : QWidget(parent), monitor_(monitor), confirmation_(confirmation), clock_(std::move(clock)), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    if (monitor_) connect(monitor_, &SystemMonitor::projectsChanged, this, &ProjectsPage::refresh);
    refresh();
}

void ProjectsPage::refresh() { present(monitor_ ? monitor_->projects() : std::vector<DevProject>{}, clock_()); }

void ProjectsPage::present(const std::vector<DevProject>& projects, Instant now) {
    const std::vector<DevProject> idle = IdleRule::idleServers(projects, now);
    auto ask = [this](std::vector<DevProject> list) {
        if (confirmation_) confirmation_->request(std::move(list));
    };

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    if (!idle.empty()) {
        auto* banner = new IdleServersBanner(idle, [ask, idle] { ask(idle); });
        banner->setObjectName("idleBanner");
        stack->addWidget(banner);
    }

    std::size_t ports = 0;
    for (const DevProject& project : projects) ports += project.ports.size();
    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    auto tile = [&](const char* key, const char* symbol, const QString& value) {
        auto* statTile = new StatTile(AppLocalization::string(key), symbol, DS::orange, value);
        statTile->setObjectName(key);
        tiles->addWidget(statTile, 1);
    };
    tile("projects.count", "folder", AppLocalization::activeLocale().toString(qlonglong(projects.size())));
    tile("projects.memory", "memorychip", ProjectFormat::memory(projects));
    tile("projects.ports", "network", AppLocalization::activeLocale().toString(qlonglong(ports)));
    tile("projects.idle", "moon", AppLocalization::activeLocale().toString(qlonglong(idle.size())));
    stack->addLayout(tiles);

    auto* card = new CardModifier(14, 18);
    card->setObjectName("projectsCard");
    card->contentLayout()->setSpacing(2);
    if (projects.empty()) card->contentLayout()->addWidget(new ProjectsEmptyState(false));
    for (const DevProject& project : projects)
        card->contentLayout()->addWidget(new ProjectRow(project, false, now, [ask, project] { ask({project}); }));
    stack->addWidget(card);
    stack->addStretch(1);

    // The old rows go after this call returns: a row's own signal may be what republished the list.
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    layout_->addWidget(content_);
}
