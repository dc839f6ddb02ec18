#include "Views/Tools/StartupItemsView.h"

#include "Models/AppLocalization.h"
#include "Models/TextKey.h"
#include "Services/AppState.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/StartupItemRow.h"
#include "Views/Tools/ToolsDetailHeader.h"
#include "Views/Tools/ToolsEmptyCard.h"

#include <QVBoxLayout>

namespace {

// A switch renames an entry between its enabled and its disabled name: the row stays the same
// through that, so it is known by its folder and the name without the extension.
std::string rowKey(const StartupItem& item) {
    return (item.path.parent_path() / item.path.stem()).string();
}

}  // namespace

StartupItemsView::StartupItemsView(AppState& state, const DynamicColor& tint, QWidget* parent) : QWidget(parent), state_(state), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    build();
    connect(&state_, &AppState::startupItemsChanged, this, &StartupItemsView::followList);
    connect(&state_, &AppState::isToolWorkingChanged, this, &StartupItemsView::followWorking);
    followList();
}

int StartupItemsView::enabledCount() const {
    int count = 0;
    for (const StartupItem& item : state_.startupItems()) count += item.isEnabled ? 1 : 0;
    return count;
}

void StartupItemsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (state_.startupItems().empty()) state_.loadStartupItems();
}

void StartupItemsView::build() {
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);

    auto* header = new ToolsDetailHeader(ValueTool::startup);
    auto* refresh = new StyledButton(AppLocalization::string("action.refresh"), QStringLiteral("arrow.clockwise"), SoftButtonStyle{tint_});
    refresh->setObjectName("startupRefresh");
    connect(refresh, &QAbstractButton::clicked, &state_, &AppState::loadStartupItems);
    header->trailingLayout()->addWidget(refresh);
    refresh_ = refresh;
    stack->addWidget(header);

    empty_ = new ToolsEmptyCard(QStringLiteral("power"), tint_, state_.isToolWorking(), textKey("startup.empty"), textKey("startup.empty.detail"));
    stack->addWidget(empty_);

    listPart_ = new QWidget;
    auto* part = new QVBoxLayout(listPart_);
    part->setContentsMargins(0, 0, 0, 0);
    part->setSpacing(16);
    banner_ = new Banner(QStringLiteral("power"), {}, AppLocalization::string("tools.startup.bannerDetail"), tint_);
    part->addWidget(banner_);
    auto* list = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.status"));
    rows_ = new LazyRowStack;
    rows_->followScrolling(page_);
    list->rowsLayout()->addWidget(rows_);
    part->addWidget(list);
    stack->addWidget(listPart_);
    stack->addStretch(1);
    page_->endContent();
}

void StartupItemsView::followList() {
    const std::vector<StartupItem>& items = state_.startupItems();
    empty_->setVisible(items.empty());
    listPart_->setVisible(!items.empty());
    banner_->setTitle(AppLocalization::format("tools.startup.bannerTitle", {qlonglong(items.size()), enabledCount()}));
    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const StartupItem& item : items) keys.push_back(rowKey(item));
    rows_->setRows(
        std::move(keys), [this](std::size_t index) -> QWidget* { return new StartupItemRow(state_, state_.startupItems()[index], tint_); },
        [this](std::size_t index, QWidget* row) { static_cast<StartupItemRow*>(row)->setItem(state_.startupItems()[index]); });
    followWorking();
}

void StartupItemsView::followWorking() {
    const bool working = state_.isToolWorking();
    refresh_->setEnabled(!working);
    empty_->setWorking(working);
}
