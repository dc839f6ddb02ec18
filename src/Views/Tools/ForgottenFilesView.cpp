#include "Views/Tools/ForgottenFilesView.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/TextKey.h"
#include "Models/TimeFormatting.h"
#include "Services/AppState.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/FreedNote.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsDetailHeader.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsTrashConfirmation.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QVBoxLayout>

ForgottenFilesView::ForgottenFilesView(AppState& state, const DynamicColor& tint, QWidget* parent) : QWidget(parent), state_(state), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    build();
    connect(&state_, &AppState::forgottenFilesChanged, this, &ForgottenFilesView::followList);
    connect(&state_, &AppState::isToolWorkingChanged, this, &ForgottenFilesView::followWorking);
    connect(&state_, &AppState::selectedToolItemsChanged, this, &ForgottenFilesView::followSelection);
    followList();
}

namespace {

// What moving the listed files that `picked` takes moves and frees.
template <typename Picked>
TrashFigures figuresOf(const std::vector<ScannedFile>& files, Picked picked) {
    std::vector<TrashFigures::Item> items;
    for (const ScannedFile& file : files)
        if (picked(file)) items.push_back(file.trashItem());
    return TrashFigures::of(items);
}

}  // namespace

std::int64_t ForgottenFilesView::total() const {
    return figuresOf(state_.forgottenFiles(), [](const ScannedFile&) { return true; }).freed;
}

std::int64_t ForgottenFilesView::fileCount(const std::vector<ScannedFile>& files) {
    std::set<std::pair<std::uint64_t, std::uint64_t>> linked;
    std::size_t count = 0;
    for (const ScannedFile& file : files) {
        if (file.identity && file.identity->links > 1 && !linked.insert({file.identity->device, file.identity->inode}).second) continue;
        ++count;
    }
    return std::int64_t(count);
}

TrashFigures ForgottenFilesView::selectedFigures() const {
    const std::set<std::string>& selection = state_.selectedToolItems();
    return figuresOf(state_.forgottenFiles(), [&](const ScannedFile& file) { return selection.contains(file.path.native()); });
}

void ForgottenFilesView::build() {
    // Built once and updated in place: the rows on screen, and the reader's place among them, stay
    // through a search, a move and every change of the busy flag.
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);

    auto* header = new ToolsDetailHeader(ValueTool::forgotten);
    auto* scan = new StyledButton(AppLocalization::string("tools.scan"), QStringLiteral("magnifyingglass"), TintedButtonStyle{tint_});
    scan->setObjectName("forgottenScan");
    connect(scan, &QAbstractButton::clicked, this, [this] { state_.findForgottenFiles(age_); });
    header->trailingLayout()->addWidget(scan);
    scan_ = scan;
    stack->addWidget(header);

    auto* ageRow = new QHBoxLayout;
    ageRow->setSpacing(12);
    ageRow->addWidget(new TextLabel(AppLocalization::string("forgotten.age"), Fonts::system(13), DynamicColor::secondary()));
    std::vector<TabItem> ages;
    for (const auto& [days, key] : {std::pair{90, textKey("forgotten.90")}, std::pair{180, textKey("forgotten.180")}, std::pair{365, textKey("forgotten.365")}})
        ages.push_back({QString::number(days), AppLocalization::string(key), QStringLiteral("calendar"), tint_});
    ageBar_ = new PillTabBar(ages, QString::number(age_), true);
    ageBar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(ageBar_, &PillTabBar::selectionChanged, this, [this](const QString& id) { age_ = id.toInt(); });
    ageRow->addWidget(ageBar_);
    ageRow->addStretch(1);
    stack->addLayout(ageRow);

    empty_ = new ToolsEmptyCard(QStringLiteral("clock.badge.questionmark"), tint_, state_.isToolWorking(), textKey("forgotten.empty"),
                                textKey("forgotten.empty.detail"));
    stack->addWidget(empty_);

    listPart_ = new QWidget;
    auto* part = new QVBoxLayout(listPart_);
    part->setContentsMargins(0, 0, 0, 0);
    part->setSpacing(16);
    banner_ = new Banner(QStringLiteral("clock.badge.questionmark.fill"), {}, {}, tint_);
    trash_ = new ToolsTrashButton(tint_, 0, state_.isToolWorking());
    connect(trash_, &QAbstractButton::clicked, this, [this] {
        if (!confirmation_) confirmation_ = confirmTrash(this, selectedFigures(), [this] { state_.trashSelectedForgottenFiles(); });
    });
    banner_->actionsLayout()->addWidget(trash_);
    part->addWidget(banner_);
    compressedNote_ = compressedFilesNote();
    part->addWidget(compressedNote_, 0, Qt::AlignLeading);

    auto* list = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.size"));
    rows_ = new LazyRowStack;
    rows_->followScrolling(page_);
    list->rowsLayout()->addWidget(rows_);
    part->addWidget(list);
    stack->addWidget(listPart_);
    stack->addStretch(1);
    page_->endContent();
}

void ForgottenFilesView::followList() {
    const std::vector<ScannedFile>& files = state_.forgottenFiles();
    empty_->setVisible(files.empty());
    listPart_->setVisible(!files.empty());
    // A file with several names is listed once per name, and counted once.
    const bool upTo = std::any_of(files.begin(), files.end(), [](const ScannedFile& file) { return file.compressed; });
    banner_->setTitle(AppLocalization::format("tools.forgotten.bannerTitle", {qlonglong(fileCount(files)), ToolTexts::freedBytes(total(), upTo)}));
    compressedNote_->setVisible(upTo);

    std::int64_t largest = 0;
    for (const ScannedFile& file : files) largest = std::max(largest, file.size);
    // A kept row is refilled from its new item exactly as a new row is filled.
    auto item = [this, largest](std::size_t index) -> ToolsItemRow::Item {
        const ScannedFile& file = state_.forgottenFiles()[index];
        QWidget* date = file.modifiedAt ? new Pill(AppLocalization::format("tools.forgotten.modified",
                                                                           {TimeFormatting::dayMonthYear(*file.modifiedAt, AppLocalization::activeLocale())}),
                                                   QStringLiteral("clock"), DS::gray)
                                        : nullptr;
        return {ToolSelection(state_, file.path.string()), false, file.path, DisplayText::name(file.path.filename()),
                DisplayText::path(file.path.parent_path()), ToolTexts::freedBytes(file.size, file.compressed),
                largest >= 1 ? double(file.size) / double(largest) : 0.0,
                withFreedNote(date, file.freed().alone(), file.size, file.identity && file.identity->links > 1)};
    };
    std::vector<std::string> keys;
    for (const ScannedFile& file : files) keys.push_back(file.path.string());
    rows_->setRows(
        std::move(keys), [this, item](std::size_t index) -> QWidget* { return new ToolsItemRow(item(index), tint_); },
        [item](std::size_t index, QWidget* row) { static_cast<ToolsItemRow*>(row)->setItem(item(index)); });
    followWorking();
}

void ForgottenFilesView::followWorking() {
    const bool working = state_.isToolWorking();
    scan_->setEnabled(!working);
    empty_->setTexts(state_.hasLooked(ValueTool::forgotten) ? textKey("forgotten.empty") : textKey("tools.notLooked"), textKey("forgotten.empty.detail"));
    empty_->setWorking(working);
    followSelection();
}

void ForgottenFilesView::followSelection() {
    // A file whose other name stays frees nothing, and may still be moved.
    const TrashFigures selected = selectedFigures();
    banner_->setDetail(ToolTexts::selectionDetail(selected.freed, selected.freedUpTo));
    trash_->setState(selected.moved, state_.isToolWorking());
}
