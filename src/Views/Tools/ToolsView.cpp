#include "Views/Tools/ToolsView.h"

#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Common/MessageAlert.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Tools/DeveloperCleanupView.h"
#include "Views/Tools/DuplicateFinderView.h"
#include "Views/Tools/ForgottenFilesView.h"
#include "Views/Tools/SmartCleanupView.h"
#include "Views/Tools/StartupItemsView.h"
#include "Views/Tools/StorageHistoryView.h"
#include "Views/Tools/ToolsRail.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>

ToolsView::ToolsView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(28, 28, 28, 28);
    row->setSpacing(16);
    rail_ = new ToolsRail(state_, selectedTool_);
    rail_->setFixedWidth(268);
    row->addWidget(rail_, 0, Qt::AlignTop);
    detail_ = makeDetail(selectedTool_);
    row->addWidget(detail_, 1);
    connect(rail_, &ToolsRail::selectionChanged, this, &ToolsView::selectTool);
    message_ = new MessageAlert(
        this, AppLocalization::string("tools.message"), [this] { return state_.toolMessage(); }, [this] { state_.setToolMessage(std::nullopt); },
        QStringLiteral("toolsAlert"));
    connect(&state_, &AppState::toolMessageChanged, message_, &MessageAlert::follow);
}

void ToolsView::selectTool(ValueTool tool) {
    rail_->setSelection(tool);
    if (tool == selectedTool_) return;
    selectedTool_ = tool;
    QWidget* next = makeDetail(tool);
    // The old screen may hold the widget whose signal brought us here: delete it once control is back.
    delete layout()->replaceWidget(detail_, next);  // the layout's item for the old screen is ours to delete
    detail_->hide();
    detail_->deleteLater();
    detail_ = next;
    detail_->show();
}

QWidget* ToolsView::makeDetail(ValueTool tool) {
    switch (tool) {
    case ValueTool::duplicates: return new DuplicateFinderView(state_, DS::purple);
    case ValueTool::cleanup: return new SmartCleanupView(state_);
    case ValueTool::forgotten: return new ForgottenFilesView(state_, DS::amber);
    case ValueTool::history: return new StorageHistoryView(state_);
    case ValueTool::startup: return new StartupItemsView(state_, DS::pink);
    case ValueTool::developer: return new DeveloperCleanupView(state_);
    }
    return new QWidget;
}

void ToolsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    message_->follow();  // a message published while another section was shown
}

QMessageBox* ToolsView::alert() const { return message_->alert(); }

void ToolsView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
