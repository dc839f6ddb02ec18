#include "Views/Tools/LazyRowStack.h"

#include <QScrollArea>
#include <QScrollBar>
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
    const std::size_t count = std::min(keys_.size(), limit_);
    std::unordered_map<std::string, std::vector<QWidget*>> kept;
    std::vector<QWidget*> shown;
    shown.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        QWidget* row = nullptr;
        if (auto found = built_.find(keys_[index]); found != built_.end() && !found->second.empty()) {
            row = found->second.back();
            found->second.pop_back();
            if (refresh_) refresh_(index, row);
        } else {
            row = make_(index);
        }
        kept[keys_[index]].push_back(row);
        shown.push_back(row);
    }
    for (auto& [key, rows] : built_)
        for (QWidget* row : rows) {
            row->hide();
            row->deleteLater();
        }
    built_ = std::move(kept);
    while (QLayoutItem* item = column_->takeAt(0)) delete item;
    for (QWidget* row : shown) {
        column_->addWidget(row);
        row->show();
    }
    shown_ = std::move(shown);
}
