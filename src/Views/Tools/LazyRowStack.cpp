#include "Views/Tools/LazyRowStack.h"

#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

LazyRowStack::LazyRowStack(QWidget* parent) : QWidget(parent), column_(new QVBoxLayout(this)) {
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(2);
}

void LazyRowStack::setRows(std::vector<std::string> keys, Make make, Refresh refresh) {
    // Every built row is spare again and is refilled once, when it takes its place for the new keys.
    // A row shown earlier is wanted before one left over further down: it goes last in its key's list.
    for (std::size_t index = shown_.size(); index-- > 0;) {
        spare_[keys_[index]].push_back(shown_[index]);
        outdated_.insert(shown_[index]);
    }
    shown_.clear();
    keys_ = std::move(keys);
    make_ = std::move(make);
    refresh_ = std::move(refresh);
    lay();
}

void LazyRowStack::setSpacing(int spacing) { column_->setSpacing(spacing); }

void LazyRowStack::followScrolling(QScrollArea* area) {
    QScrollBar* bar = area->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar, area](int value) {
        if (builtCount() < rowCount() && value >= bar->maximum() - area->viewport()->height()) extend();
    });
}

void LazyRowStack::extend() {
    if (limit_ >= keys_.size()) return;
    limit_ += batch;
    lay();
}

void LazyRowStack::lay() {
    // New rows are made and shown within a time budget per turn of the event loop, so a list that
    // grows by thousands never holds the main thread; the rest follow in the next turns. A turn goes
    // on from the last row in place, so it costs the rows it adds, not the ones already there. Rows
    // that stay keep their place in the layout; only moved ones are taken out and put back.
    QElapsedTimer spent;
    spent.start();
    const std::size_t count = std::min(keys_.size(), limit_);
    std::size_t made = 0;
    bool placed = false;  // a row went somewhere other than the end
    for (std::size_t index = shown_.size(); index < count; ++index) {
        QWidget* row = nullptr;
        if (auto found = spare_.find(keys_[index]); found != spare_.end()) {
            row = found->second.back();
            found->second.pop_back();
            if (found->second.empty()) spare_.erase(found);
            if (outdated_.erase(row) && refresh_) refresh_(index, row);
        } else if (made > 0 && spent.elapsed() >= budgetMs) {
            break;
        } else {
            row = make_(index);
            ++made;
        }
        QLayoutItem* at = column_->itemAt(int(index));
        if (!at || at->widget() != row) {
            placed = placed || at;
            column_->removeWidget(row);
            column_->insertWidget(int(index), row);
        }
        row->show();
        shown_.push_back(row);
    }
    // What the layout holds past the shown rows is no longer wanted there.
    while (column_->count() > int(shown_.size())) {
        QLayoutItem* item = column_->takeAt(int(shown_.size()));
        if (QWidget* row = item->widget()) row->hide();
        delete item;
    }
    const bool unfinished = shown_.size() < count;
    if (!unfinished) {  // spare rows may still be wanted further down until the end is reached
        for (auto& [key, rows] : spare_)
            for (QWidget* row : rows) {
                outdated_.erase(row);
                row->deleteLater();
            }
        spare_.clear();
    }
    if (placed) followOrderWithTab();
    if (unfinished && !continuing_) {
        continuing_ = true;
        QTimer::singleShot(0, this, [this] {
            continuing_ = false;
            lay();
        });
    }
}

void LazyRowStack::followOrderWithTab() {
    // The keyboard's order is the order widgets were made in; a moved or inserted row takes its
    // place in it again, with whatever in it takes the Tab key.
    std::vector<QWidget*> stops;
    for (QWidget* row : shown_) {
        if (row->focusPolicy() & Qt::TabFocus) stops.push_back(row);
        for (QWidget* widget : row->findChildren<QWidget*>())  // in the order they were made
            if (widget->focusPolicy() & Qt::TabFocus) stops.push_back(widget);
    }
    for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}
