#include "Views/Tools/ForgottenFilesView.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/TextKey.h"
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
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsDetailHeader.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/ToolsItemRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsTrashConfirmation.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

// The date as the chosen language abbreviates it, without the time.
QString abbreviatedDate(Instant instant) {
    const QDate date = QDateTime::fromMSecsSinceEpoch(qint64(instant.unixSeconds() * 1000.0)).date();
    return AppLocalization::activeLocale().toString(date, QLocale::ShortFormat);
}

}  // namespace

ForgottenFilesView::ForgottenFilesView(AppState& state, const DynamicColor& tint, QWidget* parent) : QWidget(parent), state_(state), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    connect(&state_, &AppState::forgottenFilesChanged, this, &ForgottenFilesView::rebuild);
    connect(&state_, &AppState::isToolWorkingChanged, this, &ForgottenFilesView::rebuild);
    connect(&state_, &AppState::selectedToolItemsChanged, this, &ForgottenFilesView::followSelection);
    rebuild();
}

std::int64_t ForgottenFilesView::total() const {
    std::int64_t sum = 0;
    for (const ScannedFile& file : state_.forgottenFiles()) sum = saturatingSum(sum, std::max<std::int64_t>(file.size, 0));
    return sum;
}

std::int64_t ForgottenFilesView::selectedSize() const {
    std::int64_t sum = 0;
    const std::set<std::string>& selection = state_.selectedToolItems();
    for (const ScannedFile& file : state_.forgottenFiles())
        if (selection.contains(file.path.native())) sum = saturatingSum(sum, std::max<std::int64_t>(file.size, 0));
    return sum;
}

void ForgottenFilesView::rebuild() {
    const std::vector<ScannedFile>& files = state_.forgottenFiles();
    const bool working = state_.isToolWorking();
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);
    empty_ = nullptr;
    banner_ = nullptr;
    trash_ = nullptr;
    rows_ = nullptr;

    auto* header = new ToolsDetailHeader(ValueTool::forgotten);
    auto* scan = new StyledButton(AppLocalization::string("tools.scan"), QStringLiteral("magnifyingglass"), TintedButtonStyle{tint_});
    scan->setObjectName("forgottenScan");
    scan->setEnabled(!working);
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

    if (files.empty()) {
        empty_ = new ToolsEmptyCard(QStringLiteral("clock.badge.questionmark"), tint_, working, textKey("forgotten.empty"), textKey("forgotten.empty.detail"));
        stack->addWidget(empty_);
        stack->addStretch(1);
        page_->endContent();
        return;
    }

    std::int64_t largest = 0;
    for (const ScannedFile& file : files) largest = std::max(largest, file.size);
    banner_ = new Banner(QStringLiteral("clock.badge.questionmark.fill"),
                         AppLocalization::format("tools.forgotten.bannerTitle", {qlonglong(files.size()), ToolTexts::bytes(total())}),
                         {}, tint_);
    trash_ = new ToolsTrashButton(tint_, 0, working);
    connect(trash_, &QAbstractButton::clicked, this, [this] {
        if (!confirmation_) confirmation_ = confirmTrash(this, selectedSize(), [this] { state_.trashSelectedForgottenFiles(); });
    });
    banner_->actionsLayout()->addWidget(trash_);
    stack->addWidget(banner_);

    auto* list = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.size"));
    rows_ = new LazyRowStack;
    rows_->followScrolling(page_);
    std::vector<std::string> keys;
    for (const ScannedFile& file : files) keys.push_back(file.path.string());
    rows_->setRows(std::move(keys), [this, largest](std::size_t index) -> QWidget* {
        const ScannedFile& file = state_.forgottenFiles()[index];
        QWidget* date = file.modifiedAt ? new Pill(AppLocalization::format("tools.forgotten.modified", {abbreviatedDate(*file.modifiedAt)}),
                                                   QStringLiteral("clock"), DS::gray)
                                        : nullptr;
        return new ToolsItemRow(ToolSelection(state_, file.path.string()), false,
                                {file.path, DisplayText::name(file.path.filename()), DisplayText::path(file.path.parent_path()), ToolTexts::bytes(file.size),
                                 largest >= 1 ? double(file.size) / double(largest) : 0.0},
                                tint_, date);
    });
    list->rowsLayout()->addWidget(rows_);
    stack->addWidget(list);
    stack->addStretch(1);
    page_->endContent();
    followSelection();
}

void ForgottenFilesView::followSelection() {
    if (!banner_) return;
    const std::int64_t selected = selectedSize();
    banner_->setDetail(ToolTexts::selectionDetail(selected));
    trash_->setState(selected, state_.isToolWorking());
}
