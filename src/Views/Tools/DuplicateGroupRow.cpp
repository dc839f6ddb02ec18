#include "Views/Tools/DuplicateGroupRow.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsValueColumn.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The texts that say why a copy, and its group, is left unticked.
struct ReasonKeys {
    const char* copy;
    const char* group;
};

ReasonKeys reasonKeys(UntickedReason reason) {
    switch (reason) {
    case UntickedReason::backup: return {"duplicates.inBackup", "duplicates.group.backup"};
    case UntickedReason::sharedBlocks: return {"duplicates.sharedBlocks", "duplicates.group.sharedBlocks"};
    case UntickedReason::repository: return {"duplicates.part.repository", "duplicates.group.repository"};
    case UntickedReason::environment: return {"duplicates.part.environment", "duplicates.group.environment"};
    case UntickedReason::buildOutput: return {"duplicates.part.buildOutput", "duplicates.group.buildOutput"};
    case UntickedReason::packageStore: return {"duplicates.part.packageStore", "duplicates.group.packageStore"};
    case UntickedReason::gameLibrary: return {"duplicates.part.gameLibrary", "duplicates.group.gameLibrary"};
    case UntickedReason::syncFolder: return {"duplicates.part.syncFolder", "duplicates.group.syncFolder"};
    case UntickedReason::applicationData: return {"duplicates.part.applicationData", "duplicates.group.applicationData"};
    case UntickedReason::photoSidecar: return {"duplicates.part.photoSidecar", "duplicates.group.photoSidecar"};
    case UntickedReason::projectPart: return {"duplicates.part.project", "duplicates.group.project"};
    case UntickedReason::usedByProject: return {"duplicates.usedByProject", "duplicates.group.usedByProject"};
    case UntickedReason::albumArt: return {"duplicates.part.albumArt", "duplicates.group.albumArt"};
    case UntickedReason::userTemplate: return {"duplicates.part.template", "duplicates.group.template"};
    case UntickedReason::systemFile: return {"duplicates.part.systemFile", "duplicates.group.systemFile"};
    case UntickedReason::outsideYourFolders: return {"duplicates.outside", "duplicates.group.outside"};
    case UntickedReason::programInstall: return {"duplicates.outside.programInstall", "duplicates.group.programInstall"};
    case UntickedReason::applicationFolder: return {"duplicates.outside.applicationFolder", "duplicates.group.applicationFolder"};
    }
    return {"duplicates.inBackup", "duplicates.group.backup"};
}

// Whether a copy's text names the folder or project it lies in, where one is known.
bool namesWhere(UntickedReason reason) {
    return reason == UntickedReason::programInstall || reason == UntickedReason::applicationFolder || reason == UntickedReason::projectPart ||
           reason == UntickedReason::usedByProject;
}

// A copy's reason, naming the install, application folder or project it lies in where one is known.
QString reasonText(const ScannedFile& copy) {
    const char* key = reasonKeys(*copy.untickedReason).copy;
    if (copy.untickedWithin.empty() || !namesWhere(*copy.untickedReason)) return AppLocalization::string(key);
    // The folder's name is one run in its own direction: ".mozilla" keeps its dot first in Arabic.
    return AppLocalization::format(QString::fromLatin1(key) + QStringLiteral(".named"), {DisplayText::path(copy.untickedWithin.filename())});
}

QString reasonSymbol(UntickedReason reason) { return reason == UntickedReason::backup ? QStringLiteral("clock.arrow.circlepath") : QString(); }

}  // namespace

DuplicateGroupRow::DuplicateGroupRow(AppState& state, DuplicateGroup group, double fraction, const DynamicColor& tint, bool expanded,
                                     std::function<void(bool)> setExpanded, QWidget* parent)
    : QWidget(parent), state_(state), group_(std::move(group)), tint_(tint), setExpandedInOwner_(std::move(setExpanded)), expanded_(expanded) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);

    header_ = new QWidget;
    header_->setObjectName("groupHeader");
    header_->setAttribute(Qt::WA_Hover);
    header_->setFocusPolicy(Qt::TabFocus);
    header_->setAccessibleName(group_.files.empty() ? QString() : DisplayText::name(group_.files.front().path.filename()));
    header_->installEventFilter(this);
    auto* row = new QHBoxLayout(header_);
    row->setContentsMargins(14, 9, 14, 9);
    row->setSpacing(14);
    chevron_ = new SymbolView({});
    chevron_->setFixedWidth(14);
    row->addWidget(chevron_);
    row->addWidget(new IconBadge(QStringLiteral("doc.on.doc"), tint, 32));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    const QString title = group_.files.empty() ? QString() : DisplayText::name(group_.files.front().path.filename());
    auto* titleLabel = new TextLabel(title, Fonts::system(14, QFont::DemiBold));
    titleLabel->setObjectName("groupTitle");
    texts->addWidget(titleLabel);
    texts->addWidget(new TextLabel(AppLocalization::format("duplicates.copies", {qlonglong(group_.files.size())}), Fonts::system(12),
                                   DynamicColor::secondary()));
    row->addLayout(texts, 1);
    row->addSpacing(12);
    selection_ = new Pill({}, QStringLiteral("checkmark"), tint);
    selection_->setObjectName("selectionPill");
    row->addWidget(selection_);
    // Why nothing of the group was ticked.
    if (const std::optional<UntickedReason> reason = group_.untickedReason())
        row->addWidget(new Pill(AppLocalization::string(reasonKeys(*reason).group), reasonSymbol(*reason), DS::gray));
    else if (!group_.keptCopyIsClear()) row->addWidget(new Pill(AppLocalization::string("duplicates.group.unclear"), {}, DS::gray));
    row->addWidget(new Pill(ToolTexts::bytes(group_.fileSize), {}, DS::gray));
    value_ = new ToolsValueColumn(ToolTexts::freedBytes(group_.reclaimableBytes(), group_.freesUpTo()), fraction, tint);
    value_->setObjectName("groupValue");
    row->addWidget(value_);
    stack->addWidget(header_);

    connect(&state_, &AppState::selectedToolItemsChanged, this, &DuplicateGroupRow::follow);
    follow();
    if (expanded_) buildCopies();
    followChevron();
}

void DuplicateGroupRow::followChevron() {
    // Open, the forward chevron turns a quarter to point down.
    chevron_->setImage({.symbol = expanded_ ? QStringLiteral("chevron.down") : QStringLiteral("chevron.forward"),
                        .size = 11,
                        .color = DynamicColor::tertiary(),
                        .mirroredInRightToLeft = !expanded_});
}

int DuplicateGroupRow::selectedCount(const DuplicateGroup& group, const std::set<std::string>& selection) {
    int count = 0;
    for (std::size_t index = 1; index < group.files.size(); ++index) count += selection.contains(group.files[index].path.native()) ? 1 : 0;
    return count;
}

int DuplicateGroupRow::selectedCount() const { return selectedCount(group_, state_.selectedToolItems()); }

QString DuplicateGroupRow::selectionPillText() const {
    const int count = selectedCount();
    return count > 0 ? AppLocalization::format("tools.selected", {AppLocalization::activeLocale().toString(qlonglong(count))}) : QString();
}

void DuplicateGroupRow::follow() {
    const QString text = selectionPillText();
    selection_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) selection_->setText(text);
}

void DuplicateGroupRow::setFraction(double fraction) { value_->setFraction(fraction); }

void DuplicateGroupRow::setExpanded(bool expanded) {
    if (expanded == expanded_) return;
    expanded_ = expanded;
    if (expanded_) buildCopies();
    else if (copies_) copies_->hide();
    header_->update();
    followChevron();
    if (setExpandedInOwner_) setExpandedInOwner_(expanded_);
}

void DuplicateGroupRow::buildCopies() {
    if (!copies_) {
        copies_ = new QWidget;
        auto* list = new QVBoxLayout(copies_);
        list->setContentsMargins(28, 0, 0, 0);  // leading: a layout's margins follow the direction
        list->setSpacing(2);
        for (std::size_t index = 0; index < group_.files.size(); ++index) {
            const ScannedFile& file = group_.files[index];
            const bool kept = index == 0;
            QWidget* accessory = nullptr;
            if (kept) accessory = new Pill(AppLocalization::string("duplicates.keep"), QStringLiteral("lock.fill"), DS::green);
            else if (!DuplicateGroup::freesSpace(file)) accessory = new Pill(AppLocalization::string("duplicates.otherName"), QStringLiteral("link"), DS::gray);
            else if (file.untickedReason) accessory = new Pill(reasonText(file), reasonSymbol(*file.untickedReason), DS::gray);
            else if (DuplicateGroup::freedBytes(file) == 0) accessory = new Pill(AppLocalization::string("duplicates.noBlocks"), {}, DS::gray);
            list->addWidget(new ToolsItemRow({ToolSelection(state_, file.path.string()), kept, file.path, DisplayText::name(file.path.filename()),
                                              DisplayText::path(file.path.parent_path()), ToolTexts::freedBytes(file.size, file.compressed), 1.0, accessory},
                                             kept ? DS::green : tint_));
        }
        layout()->addWidget(copies_);
    }
    copies_->show();
}

bool DuplicateGroupRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != header_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(header_);
        painter.setRenderHint(QPainter::Antialiasing);
        if (hovering_ || expanded_) painter.fillPath(ContinuousShape::roundedRect(header_->rect(), 12), DS::raised.resolved());
        paintFocusRing(painter, *header_, ContinuousShape::roundedRect(QRectF(header_->rect()).adjusted(1, 1, -1, -1), 11));
        return false;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) break;
        setExpanded(!expanded_);
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: header_->update(); break;
    case QEvent::Enter: hovering_ = true; header_->update(); break;
    case QEvent::Leave: hovering_ = false; header_->update(); break;
    case QEvent::MouseButtonPress: return true;  // the header takes the click it will end
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && header_->rect().contains(mouse->position().toPoint())) setExpanded(!expanded_);
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
