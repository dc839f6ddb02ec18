#include "Views/Monitor/MonitorView.h"

#include "Services/AppState.h"
#include "Views/Monitor/MonitorContent.h"

#include <QVBoxLayout>

MonitorView::MonitorView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (SystemMonitor* monitor = state_.monitor()) {
        content_ = new MonitorContent(*monitor);
        layout->addWidget(content_);
    }
}

void MonitorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (SystemMonitor* monitor = state_.monitor()) monitor->start();
}
