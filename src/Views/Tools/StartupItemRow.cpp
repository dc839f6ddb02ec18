#include "Views/Tools/StartupItemRow.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppState.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ToggleSwitch.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QPainter>

StartupItemRow::StartupItemRow(AppState& state, StartupItem item, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), item_(std::move(item)) {
    setAttribute(Qt::WA_Hover);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(14);
    row->addWidget(new IconBadge(item_.canChange ? QStringLiteral("gearshape.fill") : QStringLiteral("lock.fill"), item_.canChange ? tint : DS::gray, 34));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* name = new TextLabel(DisplayText::name(item_.name), Fonts::system(14, QFont::DemiBold));
    name->setObjectName("startupName");
    texts->addWidget(name);
    auto* program = new TextLabel(DisplayText::name(item_.program), Fonts::system(12), DynamicColor::secondary());
    program->setElideMode(Qt::ElideMiddle);
    texts->addWidget(program);
    row->addLayout(texts, 1);
    row->addSpacing(12);
    auto* status = item_.isEnabled ? new Pill(AppLocalization::string("tools.startup.on"), QStringLiteral("bolt.fill"), DS::green)
                                   : new Pill(AppLocalization::string("tools.startup.off"), QStringLiteral("moon.fill"), DS::gray);
    status->setObjectName("startupStatus");
    row->addWidget(status);
    if (item_.canChange) {
        toggle_ = new ToggleSwitch(tint);
        toggle_->setChecked(item_.isEnabled);
        toggle_->setAccessibleName(item_.name);
        connect(toggle_, &QAbstractButton::clicked, this, [this, &state](bool on) {
            // The switch shows the published state until the new list arrives.
            toggle_->setChecked(item_.isEnabled);
            state.setStartupItem(item_, on);
        });
        row->addWidget(toggle_);
    } else {
        auto* managed = new Pill(AppLocalization::string("startup.systemManaged"), QStringLiteral("lock.fill"), DS::gray);
        managed->setObjectName("systemManaged");
        row->addWidget(managed);
    }
}

void StartupItemRow::paintEvent(QPaintEvent*) {
    if (!hovering_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved());
}

void StartupItemRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void StartupItemRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void StartupItemRow::contextMenuEvent(QContextMenuEvent* event) {
    const GuardedMenu menu(this);
    QAction* reveal = menu->addAction(AppLocalization::string("action.reveal"));
    if (menu->exec(event->globalPos()) == reveal) FileActions::reveal(item_.path);
}
