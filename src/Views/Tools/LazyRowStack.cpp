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
    // grows by thousands never holds the main thread; the rest follow in the next turns. Rows that
    // stay keep their place in the layout; only moved ones are taken out and put back.
    QElapsedTimer spent;
    spent.start();
    const std::size_t count = std::min(keys_.size(), limit_);
    std::unordered_map<std::string, std::vector<QWidget*>> kept;
    std::vector<QWidget*> shown;
    shown.reserve(count);
    std::size_t made = 0;
    bool unfinished = false;
    bool placed = false;  // a row went somewhere other than the end
    for (std::size_t index = 0; index < count; ++index) {
        QWidget* row = nullptr;
        if (auto found = built_.find(keys_[index]); found != built_.end() && !found->second.empty()) {
            row = found->second.back();
            found->second.pop_back();
            if (refresh_) refresh_(index, row);
        } else if (made > 0 && spent.elapsed() >= budgetMs) {
            unfinished = true;
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
        kept[keys_[index]].push_back(row);
        shown.push_back(row);
    }
    // What the layout holds past the shown rows is no longer wanted there.
    while (column_->count() > int(shown.size())) {
        QLayoutItem* item = column_->takeAt(int(shown.size()));
        if (QWidget* row = item->widget()) row->hide();
        delete item;
    }
    for (auto& [key, rows] : built_)
        for (QWidget* row : rows) {
            if (unfinished) kept[key].push_back(row);  // may still be wanted further down
            else row->deleteLater();
        }
    built_ = std::move(kept);
    shown_ = std::move(shown);
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
