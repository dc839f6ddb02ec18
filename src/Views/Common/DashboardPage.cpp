#include "Views/Common/DashboardPage.h"

#include "Views/DesignSystem/DS.h"

#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

DashboardPage::DashboardPage(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
}

QVBoxLayout* DashboardPage::beginContent() {
    delete pending_;
    pending_ = new QWidget;
    pending_->setAutoFillBackground(false);
    auto* page = new QVBoxLayout(pending_);
    page->setContentsMargins(28, 28, 28, 28);
    page->setSpacing(16);
    return page;
}

void DashboardPage::endContent() {
    if (!pending_) return;
    const int scrolled = verticalScrollBar()->value();
    // The old content may hold the widget whose click led here (a row that focused a folder), still
    // inside its event handler: it leaves the page now and is deleted once control is back in the loop.
    if (QWidget* previous = takeWidget()) previous->deleteLater();
    setWidget(pending_);
    pending_ = nullptr;
    verticalScrollBar()->setValue(scrolled);
}

void DashboardPage::paintEvent(QPaintEvent*) { QPainter(viewport()).fillRect(viewport()->rect(), DS::canvas.resolved()); }
