#include "Views/Tools/StartupItemRow.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppState.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/Common/PlainToolTip.h"
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
    : QWidget(parent), item_(std::move(item)), tint_(tint) {
    setAttribute(Qt::WA_Hover);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(14);
    badge_ = new IconBadge(QStringLiteral("gearshape.fill"), tint, 34);
    row->addWidget(badge_);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    name_ = new TextLabel({}, Fonts::system(14, QFont::DemiBold));
    name_->setObjectName("startupName");
    texts->addWidget(name_);
    program_ = new TextLabel({}, Fonts::system(12), DynamicColor::secondary());
    program_->setElideMode(Qt::ElideMiddle);
    texts->addWidget(program_);
    row->addLayout(texts, 1);
    row->addSpacing(12);
    status_ = new Pill({}, {}, DS::gray);
    status_->setObjectName("startupStatus");
    row->addWidget(status_);
    toggle_ = new ToggleSwitch(tint);
    connect(toggle_, &QAbstractButton::clicked, this, [this, &state](bool on) {
        // The switch shows the published state until the new list arrives.
        toggle_->setChecked(item_.isEnabled);
        state.setStartupItem(item_, on);
    });
    row->addWidget(toggle_);
    managed_ = new Pill(AppLocalization::string("startup.systemManaged"), QStringLiteral("lock.fill"), DS::gray);
    managed_->setObjectName("systemManaged");
    row->addWidget(managed_);
    blocked_ = new Pill(AppLocalization::string("startup.cannotSwitch"), QStringLiteral("exclamationmark.triangle.fill"), DS::amber);
    blocked_->setObjectName("cannotSwitch");
    row->addWidget(blocked_);
    setItem(item_);
}

void StartupItemRow::setItem(StartupItem item) {
    item_ = std::move(item);
    badge_->setSymbol(item_.canChange ? QStringLiteral("gearshape.fill") : QStringLiteral("lock.fill"));
    badge_->setTint(item_.canChange ? tint_ : DS::gray);
    name_->setText(DisplayText::name(item_.name));
    // The program, then why this desktop does not start it, then the item's other files.
    QStringList line{DisplayText::name(item_.program)};
    if (!item_.desktopNote.isEmpty()) line << item_.desktopNote;
    if (!item_.otherFiles.empty()) {
        QStringList names{DisplayText::name(item_.path.filename())};
        for (const std::filesystem::path& file : item_.otherFiles) names << DisplayText::name(file.filename());
        line << AppLocalization::format("startup.otherFiles", {names.join(QStringLiteral(", "))});
    }
    program_->setText(line.join(QStringLiteral(" \u00B7 ")));
    if (!item_.isKnown) {
        status_->setText(AppLocalization::string("tools.startup.unknown"));
        status_->setSymbol(QStringLiteral("questionmark.circle.fill"));
    } else {
        status_->setText(AppLocalization::string(item_.isEnabled ? "tools.startup.on" : "tools.startup.off"));
        status_->setSymbol(item_.isEnabled ? QStringLiteral("bolt.fill") : QStringLiteral("moon.fill"));
    }
    status_->setTint(item_.isKnown && item_.isEnabled ? DS::green : DS::gray);
    toggle_->setChecked(item_.isEnabled);
    toggle_->setAccessibleName(item_.name);
    toggle_->setVisible(item_.isSwitchable());
    managed_->setVisible(!item_.canChange);
    blocked_->setVisible(item_.canChange && !item_.isSwitchable());
    const QString problem = item_.readingProblem.isEmpty() ? item_.desktopNote : item_.readingProblem;
    setToolTip(problem.isEmpty() ? QString() : plainToolTip(problem));
    setAccessibleDescription(problem);
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
