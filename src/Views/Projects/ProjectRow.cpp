#include "Views/Projects/ProjectRow.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/PortPill.h"
#include "Views/Projects/ProjectFormat.h"
#include "Views/Projects/ProjectStatusPill.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

ProjectRow::ProjectRow(const DevProject& project, bool compact, Instant now, std::function<void()> stop, QWidget* parent)
    : QWidget(parent), project_(project), compact_(compact), stop_(std::move(stop)) {
    setAttribute(Qt::WA_Hover);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(compact ? 4 : 18, compact ? 6 : 12, compact ? 4 : 18, compact ? 6 : 12);
    row->setSpacing(compact ? 10 : 16);
    row->addWidget(new IconBadge("folder", DS::orange, compact ? 26 : 34));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new TextLabel(DisplayText::name(QString::fromStdString(project.name)), Fonts::system(compact ? 13 : 15, QFont::DemiBold));
    name->setObjectName("name");
    texts->addWidget(name);
    // The compact row has no status pill: what needs the user's eye takes the subtitle's place.
    const auto notice = compact ? ProjectStatusPill::notice(project) : std::nullopt;
    auto* subtitle = new TextLabel(notice ? notice->text : ProjectFormat::subtitle(project), Fonts::system(compact ? 11 : 13),
                                   notice ? DS::orange : DynamicColor::secondary());
    subtitle->setObjectName("subtitle");
    texts->addWidget(subtitle);
    row->addLayout(texts, 1);
    row->addSpacing(12);

    const std::size_t shownPorts = std::min<std::size_t>(project.ports.size(), compact ? 1 : 3);
    for (std::size_t i = 0; i < shownPorts; ++i) row->addWidget(new PortPill(project.ports[i]));
    if (compact) {
        if (ProjectStatusPill::isWorking(project, now)) {
            workingDot_ = new DotView(DS::green, 7);
            row->addWidget(workingDot_);
        }
    } else {
        if (ProjectStatusPill::status(project, now)) row->addWidget(new ProjectStatusPill(project, now));
    }

    auto* memory = new TextLabel(ByteFormatting::string(project.memory), Fonts::system(compact ? 13 : 15, QFont::DemiBold));
    memory->setObjectName("memory");
    memory->setAlignment(Qt::AlignTrailing);
    memory->setMinimumWidth(std::max(compact ? 58 : 80, memory->sizeHint().width()));
    row->addWidget(memory);

    if (!compact) {
        stopButton_ = new SymbolButton({.symbol = "stop.circle", .size = 16, .color = DynamicColor::secondary(), .opacity = 0.6});
        stopButton_->setToolTip(AppLocalization::string("projects.stop"));
        stopButton_->setAccessibleName(AppLocalization::string("projects.stop"));
        connect(stopButton_, &QAbstractButton::clicked, this, [this] { stop_(); });
        row->addWidget(stopButton_);
    }
}

void ProjectRow::setHovering(bool hovering) {
    if (hovering_ == hovering) return;
    hovering_ = hovering;
    if (stopButton_)
        stopButton_->setImage({.symbol = "stop.circle", .size = 16, .color = hovering ? DS::orange : DynamicColor::secondary(),
                               .opacity = hovering ? 1.0 : 0.6});
    update();
}

void ProjectRow::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QWidget::enterEvent(event);
}

void ProjectRow::leaveEvent(QEvent* event) {
    setHovering(false);
    QWidget::leaveEvent(event);
}

void ProjectRow::paintEvent(QPaintEvent*) {
    if (compact_ || !hovering_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved());
}

void ProjectRow::contextMenuEvent(QContextMenuEvent* event) {
    // The pages rebuild their rows each time the list is republished (every two seconds), so the
    // menu belongs to the window and keeps what it acts on, not to this row.
    GuardedMenu menu(window());
    const std::filesystem::path root = project_.root;
    menu->addAction(AppLocalization::string("action.reveal"), [root] { FileActions::reveal(root); });
    menu->addAction(AppLocalization::string("action.copyPath"), [root] { FileActions::copyPath(root); });
    menu->addSeparator();
    QAction* stopItem = menu->addAction(AppLocalization::string("projects.stop"));
    const std::function<void()> stop = stop_;
    if (menu->exec(event->globalPos()) == stopItem) stop();
}
