#include "Views/Monitor/MonitorView.h"

#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Views/Monitor/MonitorContent.h"

#include <QVBoxLayout>

MonitorView::MonitorView(AppState& state, CapacitySource capacity, QWidget* parent) : QWidget(parent), state_(state) {
    if (!capacity) capacity = [] { return DiskCapacityService().capacity(SystemRoots::current().root); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (SystemMonitor* monitor = state_.monitor()) {
        content_ = new MonitorContent(*monitor, capacity());
        layout->addWidget(content_);
    }
}

void MonitorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (SystemMonitor* monitor = state_.monitor()) monitor->start();
}
