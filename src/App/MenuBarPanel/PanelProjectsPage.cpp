#include "App/MenuBarPanel/PanelProjectsPage.h"

#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/Hairline.h"
#include "Views/Common/TintedNotice.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/IdleRule.h"
#include "Views/Projects/ProjectFormat.h"
#include "Views/Projects/ProjectRow.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Projects/ProjectsEmptyState.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

PanelProjectsPage::PanelProjectsPage(const PanelContext& context, QWidget* parent)
    : PanelPage(parent), context_(context), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    if (context_.monitor) connect(context_.monitor, &SystemMonitor::projectsChanged, this, &PanelProjectsPage::rebuild);
    rebuild();
}

void PanelProjectsPage::rebuild() { present(context_.monitor ? context_.monitor->projects() : std::vector<DevProject>{}, context_.clock()); }

void PanelProjectsPage::present(const std::vector<DevProject>& projects, Instant now) {
    auto ask = [confirmation = context_.stopConfirmation](std::vector<DevProject> list) {
        if (confirmation) confirmation->request(std::move(list));
    };
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    if (projects.empty()) {
        stack->addWidget(new ProjectsEmptyState(true));
    } else {
        auto* header = new QHBoxLayout;
        header->setSpacing(6);
        auto* count = new TextLabel(AppLocalization::activeLocale().toString(qlonglong(projects.size())), Fonts::system(32, QFont::Bold));
        count->setObjectName("projectCount");
        header->addWidget(count, 0, Qt::AlignBaseline);
        header->addWidget(new TextLabel(AppLocalization::string("projects.count"), Fonts::system(14, QFont::Medium), DynamicColor::secondary()), 0,
                          Qt::AlignBaseline);
        header->addStretch(1);
        auto* memory = new TextLabel(ProjectFormat::memory(projects), Fonts::system(15, QFont::DemiBold));
        memory->setObjectName("projectMemory");
        header->addWidget(memory, 0, Qt::AlignBaseline);
        stack->addLayout(header);

        const std::vector<DevProject> idle = IdleRule::idleServers(projects, now);
        if (!idle.empty()) {
            auto* notice = new TintedNotice(DS::orange, 10);
            notice->setObjectName("idleNotice");
            QHBoxLayout* line = notice->rowLayout();
            line->addWidget(new SymbolView({.symbol = "moon.fill", .size = 13, .color = DS::orange}));
            auto* title = new TextLabel(AppLocalization::format("projects.banner.title", {(long long)idle.size()}), Fonts::system(12, QFont::Medium));
            title->setWordWrap(true);
            title->setMaximumLineCount(2);
            line->addWidget(title, 1, Qt::AlignVCenter);
            line->addSpacing(4);
            auto* stopAll = new StyledButton(AppLocalization::string("projects.stopAll"), {}, TintedButtonStyle{DS::orange});
            stopAll->setObjectName("stopAll");
            connect(stopAll, &QAbstractButton::clicked, this, [ask, idle] { ask(idle); });
            line->addWidget(stopAll);
            stack->addWidget(notice);
        }
        stack->addWidget(new Hairline);
        for (std::size_t i = 0; i < projects.size() && i < shownRows; ++i)
            stack->addWidget(new ProjectRow(projects[i], true, now, [ask, project = projects[i]] { ask({project}); }));
        if (projects.size() > shownRows) {
            auto* more = new QPushButton(AppLocalization::format("projects.more", {(long long)(projects.size() - shownRows)}));
            more->setObjectName("moreProjects");
            more->setFlat(true);
            more->setCursor(Qt::PointingHandCursor);
            more->setFont(Fonts::system(12));
            more->setStyleSheet(QStringLiteral("QPushButton { border: none; text-align: left; padding: 0; color: %1; }").arg(DS::blue.resolved().name()));
            connect(more, &QPushButton::clicked, this, [this] {
                context_.state.setSelectedSection(AppSection::monitor);
                context_.openMain();
            });
            stack->addWidget(more, 0, Qt::AlignLeading);
        }
    }
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    layout_->addWidget(content_);
    content_->show();  // in a shown panel, at once: a turn later the panel would be measured without it
}
