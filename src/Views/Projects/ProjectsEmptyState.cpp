#include "Views/Projects/ProjectsEmptyState.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ProjectsEmptyState::ProjectsEmptyState(bool compact, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, compact ? 16 : 56, 0, compact ? 16 : 56);
    stack->setSpacing(compact ? 8 : 14);
    stack->addWidget(new IconBadge("folder.badge.gearshape", DS::orange, compact ? 36 : 56), 0, Qt::AlignHCenter);
    auto* title = new TextLabel(AppLocalization::string("projects.empty.title"), Fonts::system(compact ? 14 : 20, QFont::Bold));
    title->setObjectName("title");
    title->setAlignment(Qt::AlignHCenter);
    stack->addWidget(title, 0, Qt::AlignHCenter);
    auto* detail = new TextLabel(AppLocalization::string("projects.empty.detail"), Fonts::system(compact ? 12 : 14), DynamicColor::secondary());
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignHCenter);
    detail->setMaximumWidth(420);
    auto* centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addWidget(detail, 100);
    centred->addStretch(1);
    stack->addLayout(centred);
}
