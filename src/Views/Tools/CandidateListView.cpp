#include "Views/Tools/CandidateListView.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppState.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Tools/FreedNote.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/SafetyPill.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsDetailHeader.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsTrashConfirmation.h"
#include "Views/Tools/ValueToolPresentation.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QVBoxLayout>

CandidateListView::CandidateListView(AppState& state, ValueTool tool, List list, Load load, QString emptyTitle, QString emptyDetail,
                                     QWidget* parent)
    : QWidget(parent), state_(state), tool_(tool), list_(list), emptyTitle_(std::move(emptyTitle)), emptyDetail_(std::move(emptyDetail)),
      load_(load) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    build();
    connect(&state_, tool == ValueTool::cleanup ? &AppState::cleanupCandidatesChanged : &AppState::developerCandidatesChanged, this,
            &CandidateListView::followList);
    connect(&state_, &AppState::isToolWorkingChanged, this, &CandidateListView::followWorking);
    connect(&state_, &AppState::selectedToolItemsChanged, this, &CandidateListView::followSelection);
    followList();
}

TrashFigures CandidateListView::selectedFigures() const {
    const std::set<std::string>& selection = state_.selectedToolItems();
    std::vector<TrashFigures::Item> selected;
    for (const CleanupCandidate& candidate : (state_.*list_)())
        if (selection.contains(candidate.id)) selected.push_back(candidate.trashItem());
    return TrashFigures::of(selected);
}

std::int64_t CandidateListView::freedByAll(const std::vector<CleanupCandidate>& candidates) {
    std::vector<const FreedSpace*> all;
    for (const CleanupCandidate& candidate : candidates) all.push_back(&candidate.freed);
    return FreedSpace::together(all);
}

void CandidateListView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if ((state_.*list_)().empty()) requestLoad();
}

void CandidateListView::requestLoad() {
    // Refused while another tool works: the list loads when that one ends.
    waiting_ = state_.isToolWorking() && !state_.isLoading(tool_);
    (state_.*load_)();
    followWorking();
}

void CandidateListView::build() {
    // Built once and updated in place: the rows on screen, and the reader's place among them, stay
    // through a reload, a move and every change of the busy flag.
    const DynamicColor tint = ValueToolPresentation::tint(tool_);
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);

    auto* header = new ToolsDetailHeader(tool_);
    auto* scan = new StyledButton(AppLocalization::string("tools.scan"), QStringLiteral("arrow.clockwise"), SoftButtonStyle{tint});
    scan->setObjectName("candidatesScan");
    connect(scan, &QAbstractButton::clicked, this, [this] { requestLoad(); });
    header->trailingLayout()->addWidget(scan);
    scan_ = scan;
    stack->addWidget(header);

    empty_ = new ToolsEmptyCard(ValueToolPresentation::symbol(tool_), tint, state_.isToolWorking(), emptyTitle_, emptyDetail_);
    stack->addWidget(empty_);

    listPart_ = new QWidget;
    auto* part = new QVBoxLayout(listPart_);
    part->setContentsMargins(0, 0, 0, 0);
    part->setSpacing(16);
    banner_ = new Banner(QStringLiteral("checkmark.shield.fill"), {}, AppLocalization::string("cleanup.plan.ready"), tint);
    trash_ = new ToolsTrashButton(tint, 0, state_.isToolWorking());
    connect(trash_, &QAbstractButton::clicked, this, [this] {
        if (confirmation_) return;
        // The list is read when the move is confirmed, with the selection of that moment.
        confirmation_ = confirmTrash(this, selectedFigures(), [this] { state_.trashSelectedCandidates((state_.*list_)()); });
    });
    banner_->actionsLayout()->addWidget(trash_);
    part->addWidget(banner_);
    compressedNote_ = compressedFilesNote();
    part->addWidget(compressedNote_, 0, Qt::AlignLeading);

    auto* plan = new QHBoxLayout;
    plan->setSpacing(16);
    selectedBar_ = new ThinBar(0, tint, 4);
    selectedTile_ = new StatTile(AppLocalization::string("cleanup.plan.selected"), QStringLiteral("checkmark.circle"), tint, {}, selectedBar_);
    plan->addWidget(selectedTile_, 1);
    safeTile_ = new StatTile(AppLocalization::string("cleanup.plan.safeItems"), QStringLiteral("checkmark.shield"), DS::green, {});
    plan->addWidget(safeTile_, 1);
    reviewTile_ = new StatTile(AppLocalization::string("cleanup.plan.reviewItems"), QStringLiteral("exclamationmark.triangle"), DS::amber, {});
    plan->addWidget(reviewTile_, 1);
    part->addLayout(plan);

    auto* list = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.size"));
    rows_ = new LazyRowStack;
    rows_->followScrolling(page_);
    list->rowsLayout()->addWidget(rows_);
    part->addWidget(list);

    auto* note = new QHBoxLayout;
    note->setContentsMargins(4, 0, 4, 0);
    note->setSpacing(6);
    note->addWidget(new SymbolView({.symbol = QStringLiteral("trash.circle"), .size = 12, .color = DynamicColor::secondary()}));
    note->addWidget(new TextLabel(AppLocalization::string("tools.recoverable"), Fonts::system(12), DynamicColor::secondary()), 1);
    part->addLayout(note);
    stack->addWidget(listPart_);
    stack->addStretch(1);
    page_->endContent();
}

void CandidateListView::followList() {
    const std::vector<CleanupCandidate>& candidates = (state_.*list_)();
    empty_->setVisible(candidates.empty());
    listPart_->setVisible(!candidates.empty());

    std::int64_t largest = 0;
    int safe = 0, review = 0;
    for (const CleanupCandidate& candidate : candidates) {
        largest = std::max(largest, candidate.size);
        (candidate.safety == CleanupSafety::safe ? safe : review) += 1;
    }
    freedByAll_ = freedByAll(candidates);
    const bool upTo = std::any_of(candidates.begin(), candidates.end(), [](const CleanupCandidate& candidate) { return candidate.freed.upTo; });
    banner_->setTitle(AppLocalization::format("tools.cleanup.bannerTitle", {qlonglong(candidates.size()), ToolTexts::freedBytes(freedByAll_, upTo)}));
    compressedNote_->setVisible(upTo);
    const QLocale locale = AppLocalization::activeLocale();
    safeTile_->setValue(locale.toString(safe));
    reviewTile_->setValue(locale.toString(review));

    // A kept row is refilled from its new item exactly as a new row is filled.
    auto item = [this, largest](std::size_t index) -> ToolsItemRow::Item {
        const CleanupCandidate& candidate = (state_.*list_)()[index];
        const std::filesystem::path name = candidate.path.filename();
        return {ToolSelection(state_, candidate.id), false, candidate.path, DisplayText::name(name.empty() ? candidate.path : name),
                ToolTexts::cleanupDetail(candidate), ToolTexts::cleanupSize(candidate),
                largest > 0 ? double(candidate.size) / double(largest) : 0.0,
                withFreedNote(new SafetyPill(candidate.safety), candidate.freed.alone(), candidate.size)};
    };
    std::vector<std::string> keys;
    for (const CleanupCandidate& candidate : candidates) keys.push_back(candidate.id);
    rows_->setRows(
        std::move(keys), [item, tint = ValueToolPresentation::tint(tool_)](std::size_t index) -> QWidget* { return new ToolsItemRow(item(index), tint); },
        [item](std::size_t index, QWidget* row) { static_cast<ToolsItemRow*>(row)->setItem(item(index)); });
    followWorking();
}

void CandidateListView::followWorking() {
    const bool working = state_.isToolWorking();
    if (waiting_ && !working && !state_.hasLooked(tool_)) {
        requestLoad();
        return;
    }
    if (!working) waiting_ = false;
    scan_->setEnabled(!working);
    // An empty list says there is nothing only once it was looked for.
    if (waiting_) empty_->setTexts(QStringLiteral("tools.waiting"), QStringLiteral("tools.waiting.detail"));
    else if (!working && !state_.hasLooked(tool_)) empty_->setTexts(QStringLiteral("tools.notLooked"), QStringLiteral("tools.notLooked.detail"));
    else empty_->setTexts(emptyTitle_, emptyDetail_);
    empty_->setWorking(working && !waiting_);
    followSelection();
}

void CandidateListView::followSelection() {
    // What frees nothing (a cache whose files keep other names) may still be moved: the button
    // follows what is ticked, the tile what it frees.
    const TrashFigures selected = selectedFigures();
    trash_->setState(selected.moved, state_.isToolWorking());
    selectedTile_->setValue(ToolTexts::freedBytes(selected.freed, selected.freedUpTo));
    selectedBar_->setFraction(freedByAll_ > 0 ? double(selected.freed) / double(freedByAll_) : 0.0);
}
