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
    connect(&state_, &AppState::toolMessageChanged, this, &ToolsView::followMessage);
}

void ToolsView::selectTool(ValueTool tool) {
    rail_->setSelection(tool);
    if (tool == selectedTool_) return;
    selectedTool_ = tool;
    QWidget* next = makeDetail(tool);
    // The old screen may hold the widget whose signal brought us here: delete it once control is back.
    layout()->replaceWidget(detail_, next);
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
    followMessage();  // a message published while another section was shown
}

void ToolsView::followMessage() {
    const std::optional<QString>& message = state_.toolMessage();
    if (!message) {
        if (alert_) alert_->close();
        return;
    }
    if (alert_) {
        alert_->setText(*message);
        return;
    }
    if (!isVisible()) return;
    alert_ = openMessageAlert(this, AppLocalization::string("tools.message"), *message, [this] { state_.setToolMessage(std::nullopt); });
    alert_->setObjectName("toolsAlert");
}

void ToolsView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
