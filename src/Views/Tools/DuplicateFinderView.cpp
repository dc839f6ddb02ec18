#include "Views/Tools/DuplicateFinderView.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/AppState.h"
#include "Views/Common/DashboardPage.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Common/TintedNotice.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/DuplicateGroupRow.h"
#include "Views/Tools/DuplicateProgressCard.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/FreedNote.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsDetailHeader.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsTrashConfirmation.h"

#include <QHBoxLayout>
#include <QStringList>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>

DuplicateFinderView::DuplicateFinderView(AppState& state, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), state_(state), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    stack_ = page_->beginContent();
    stack_->setContentsMargins(0, 0, 0, 0);

    auto* header = new ToolsDetailHeader(ValueTool::duplicates);
    folder_ = new StyledButton({}, QStringLiteral("folder"), SoftButtonStyle{DynamicColor::primary()});
    folder_->setObjectName("duplicatesFolder");
    connect(folder_, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    header->trailingLayout()->addWidget(folder_);
    cancel_ = new StyledButton(AppLocalization::string("duplicates.cancel"), QStringLiteral("xmark.circle"), SoftButtonStyle{tint});
    cancel_->setObjectName("duplicatesCancel");
    connect(cancel_, &QAbstractButton::clicked, &state_, &AppState::cancelDuplicateScan);
    header->trailingLayout()->addWidget(cancel_);
    scan_ = new StyledButton(AppLocalization::string("tools.scan"), QStringLiteral("magnifyingglass"), TintedButtonStyle{tint});
    scan_->setObjectName("duplicatesScan");
    connect(scan_, &QAbstractButton::clicked, &state_, &AppState::findDuplicates);
    header->trailingLayout()->addWidget(scan_);
    stack_->addWidget(header);

    progress_ = new DuplicateProgressCard(state_.duplicateProgress(), tint);
    stack_->addWidget(progress_);

    notCompared_ = new TintedNotice(DS::orange, 12);
    notCompared_->setObjectName("duplicatesNotCompared");
    notCompared_->rowLayout()->addWidget(new SymbolView({.symbol = "exclamationmark.triangle.fill", .size = 13, .color = DS::orange}), 0, Qt::AlignTop);
    notComparedText_ = new TextLabel({}, Fonts::system(13, QFont::Medium));
    notComparedText_->setWordWrap(true);
    notCompared_->rowLayout()->addWidget(notComparedText_, 1);
    stack_->addWidget(notCompared_);

    banner_ = new Banner(QStringLiteral("doc.on.doc.fill"), {}, {}, tint);
    trash_ = new ToolsTrashButton(tint, 0, state_.isToolWorking());
    connect(trash_, &QAbstractButton::clicked, this, [this] {
        if (confirmation_) return;
        // The question names what a move frees, never more: ticked copies that free nothing move
        // too, and are counted apart.
        const SelectedCopies& selected = selectedCopies();
        auto move = [this] { state_.trashSelectedDuplicateFiles(); };
        const TrashFigures& figures = selected.figures;
        confirmation_ = selected.freeingNothing == 0 || figures.freed <= 0
                            ? confirmTrash(this, figures, move)
                            : confirmTrash(this, AppLocalization::format("duplicates.trash.detail.freesNothing", {ToolTexts::bytes(figures.moved), ToolTexts::freedBytes(figures.freed, figures.freedUpTo), selected.freeingNothing}), move);
    });
    banner_->actionsLayout()->addWidget(trash_);
    stack_->addWidget(banner_);
    compressedNote_ = compressedFilesNote();
    stack_->addWidget(compressedNote_, 0, Qt::AlignLeading);

    list_ = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.size"));
    rows_ = new LazyRowStack;
    rows_->followScrolling(page_);
    list_->rowsLayout()->addWidget(rows_);
    stack_->addWidget(list_);
    stack_->addStretch(1);
    page_->endContent();

    connect(&state_, &AppState::scanRootChanged, this, &DuplicateFinderView::followFolder);
    connect(&state_, &AppState::isToolWorkingChanged, this, &DuplicateFinderView::followState);
    connect(&state_, &AppState::didFinishDuplicateScanChanged, this, &DuplicateFinderView::followState);
    connect(&state_, &AppState::duplicateGroupsChanged, this, &DuplicateFinderView::followGroups);
    connect(&state_, &AppState::selectedToolItemsChanged, this, [this] {
        selected_.reset();
        followSelection();
    });
    connect(&state_, &AppState::duplicateProgressChanged, this, [this] { progress_->setProgress(state_.duplicateProgress()); });
    connect(&state_, &AppState::duplicatesNotComparedChanged, this, &DuplicateFinderView::followState);
    followFolder();
    followGroups();
}

std::int64_t DuplicateFinderView::reclaimable() const {
    std::int64_t total = 0;
    for (const DuplicateGroup& group : state_.duplicateGroups()) total = saturatingSum(total, group.reclaimableBytes());
    return total;
}

std::int64_t DuplicateFinderView::selectedSize() const { return selectedCopies().figures.freed; }

const DuplicateFinderView::SelectedCopies& DuplicateFinderView::selectedCopies() const {
    // Worked out once per change of the groups or the selection: the end of a search changes the busy
    // flag and the finished flag as well, and a list of thousands of groups need not be read again.
    if (selected_) return *selected_;
    // The kept copy (position 0) never counts, whatever the selection holds.
    const std::set<std::string>& selection = state_.selectedToolItems();
    SelectedCopies total;
    std::vector<TrashFigures::Item> copies;
    if (!selection.empty())
        for (const DuplicateGroup& group : state_.duplicateGroups())
            for (std::size_t index = 1; index < group.files.size(); ++index) {
                const ScannedFile& copy = group.files[index];
                if (!selection.contains(copy.path.native())) continue;
                total.moved = saturatingSum(total.moved, group.fileSize);
                total.freeingNothing += DuplicateGroup::freedBytes(copy) > 0 ? 0 : 1;
                copies.push_back(copy.trashItem());
            }
    total.figures = TrashFigures::of(copies);
    return selected_.emplace(std::move(total));
}

void DuplicateFinderView::followFolder() {
    const std::filesystem::path& root = state_.scanRoot();
    const std::filesystem::path name = root.filename();
    folder_->setText(DisplayText::name(name.empty() ? root : name));
    folder_->setToolTip(plainToolTip(DisplayText::path(root)));
}

void DuplicateFinderView::followState() {
    const bool working = state_.isToolWorking();
    const bool hasGroups = !state_.duplicateGroups().empty();
    scan_->setVisible(!working);
    cancel_->setVisible(working);
    progress_->setVisible(working);
    if (working) progress_->setProgress(state_.duplicateProgress());
    banner_->setVisible(hasGroups);
    list_->setVisible(hasGroups);
    trash_->setVisible(!working);  // no move while the search still runs

    if (empty_) {
        empty_->hide();
        empty_->deleteLater();
        empty_ = nullptr;
    }
    if (!hasGroups && !working) {
        const bool done = state_.didFinishDuplicateScan();
        // Files that could not be read may still have copies: "every file is unique" would not hold.
        const QString doneDetail = state_.duplicatesNotCompared().empty() ? QStringLiteral("duplicates.empty.done.detail")
                                                                          : QStringLiteral("duplicates.empty.done.notCompared");
        empty_ = new ToolsEmptyCard(QStringLiteral("doc.on.doc"), tint_, false,
                                    done ? QStringLiteral("duplicates.empty.done") : QStringLiteral("duplicates.empty"),
                                    done ? doneDetail : QStringLiteral("duplicates.empty.detail"));
        stack_->insertWidget(stack_->indexOf(banner_), empty_);
        empty_->show();
    }
    followNotCompared();
    followSelection();
}

void DuplicateFinderView::followNotCompared() {
    const std::vector<std::filesystem::path>& files = state_.duplicatesNotCompared();
    notCompared_->setVisible(!files.empty() && !state_.isToolWorking());
    if (files.empty()) return;
    notComparedText_->setText(AppLocalization::format("duplicates.notCompared", {qlonglong(files.size())}));
    // The first few by name; the notice's count says how many there are.
    constexpr std::size_t shown = 20;
    QStringList lines;
    for (std::size_t i = 0; i < std::min(files.size(), shown); ++i) lines << DisplayText::path(files[i]);
    if (files.size() > shown) lines << QStringLiteral("…");
    notCompared_->setToolTip(plainToolTip(lines.join(QLatin1Char('\n'))));
}

void DuplicateFinderView::followGroups() {
    selected_.reset();
    const std::vector<DuplicateGroup>& groups = state_.duplicateGroups();
    std::int64_t largest = 0;
    for (const DuplicateGroup& group : groups) largest = std::max(largest, group.reclaimableBytes());
    auto fraction = [largest](const DuplicateGroup& group) { return largest > 0 ? double(group.reclaimableBytes()) / double(largest) : 0.0; };

    std::vector<std::string> keys;
    keys.reserve(groups.size());
    // A group pruned after a move has fewer copies: it gets a new row.
    for (const DuplicateGroup& group : groups) keys.push_back(group.id + '/' + std::to_string(group.files.size()));
    rows_->setRows(
        std::move(keys),
        [this, fraction](std::size_t index) -> QWidget* {
            const DuplicateGroup& group = state_.duplicateGroups()[index];
            return new DuplicateGroupRow(state_, group, fraction(group), tint_, expanded_.contains(group.id), [this, id = group.id](bool open) {
                if (open) expanded_.insert(id);
                else expanded_.erase(id);
            });
        },
        [this, fraction](std::size_t index, QWidget* row) { static_cast<DuplicateGroupRow*>(row)->setFraction(fraction(state_.duplicateGroups()[index])); });

    const bool upTo = std::any_of(groups.begin(), groups.end(), [](const DuplicateGroup& group) { return group.freesUpTo(); });
    banner_->setTitle(AppLocalization::format("tools.dup.bannerTitle", {qlonglong(groups.size()), ToolTexts::freedBytes(reclaimable(), upTo)}));
    compressedNote_->setVisible(upTo);
    followState();
}

void DuplicateFinderView::followSelection() {
    const SelectedCopies& selected = selectedCopies();
    banner_->setDetail(ToolTexts::selectionDetail(selected.figures.freed, selected.figures.freedUpTo));
    // Copies that free nothing may still be moved: the button follows what is ticked.
    trash_->setState(selected.moved, state_.isToolWorking());
}
