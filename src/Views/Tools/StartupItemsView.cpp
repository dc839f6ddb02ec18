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

StartupItemsView::StartupItemsView(AppState& state, const DynamicColor& tint, QWidget* parent) : QWidget(parent), state_(state), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    connect(&state_, &AppState::startupItemsChanged, this, &StartupItemsView::rebuild);
    connect(&state_, &AppState::isToolWorkingChanged, this, &StartupItemsView::rebuild);
    rebuild();
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

void StartupItemsView::rebuild() {
    const std::vector<StartupItem>& items = state_.startupItems();
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);
    empty_ = nullptr;
    banner_ = nullptr;

    auto* header = new ToolsDetailHeader(ValueTool::startup);
    auto* refresh = new StyledButton(AppLocalization::string("action.refresh"), QStringLiteral("arrow.clockwise"), SoftButtonStyle{tint_});
    refresh->setObjectName("startupRefresh");
    refresh->setEnabled(!state_.isToolWorking());
    connect(refresh, &QAbstractButton::clicked, &state_, &AppState::loadStartupItems);
    header->trailingLayout()->addWidget(refresh);
    refresh_ = refresh;
    stack->addWidget(header);

    if (items.empty()) {
        empty_ = new ToolsEmptyCard(QStringLiteral("power"), tint_, state_.isToolWorking(), textKey("startup.empty"), textKey("startup.empty.detail"));
        stack->addWidget(empty_);
    } else {
        banner_ = new Banner(QStringLiteral("power"), AppLocalization::format("tools.startup.bannerTitle", {qlonglong(items.size()), enabledCount()}),
                             AppLocalization::string("tools.startup.bannerDetail"), tint_);
        stack->addWidget(banner_);
        auto* list = new RankedList(AppLocalization::string("tools.column.item"), AppLocalization::string("tools.column.status"));
        auto* rows = new LazyRowStack;
        rows->followScrolling(page_);
        std::vector<std::string> keys;
        for (const StartupItem& item : items) keys.push_back(item.id);
        rows->setRows(std::move(keys), [this](std::size_t index) -> QWidget* { return new StartupItemRow(state_, state_.startupItems()[index], tint_); });
        list->rowsLayout()->addWidget(rows);
        stack->addWidget(list);
    }
    stack->addStretch(1);
    page_->endContent();
}
