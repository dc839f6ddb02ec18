#include "Services/DirectoryStack.h"

#include <iterator>

DirectoryStack::DirectoryStack(std::vector<Item> items) : stack_(std::move(items)) {}

void DirectoryStack::push(Item item) {
    std::lock_guard lock(mutex_);
    stack_.push_back(std::move(item));
}

std::optional<DirectoryStack::Item> DirectoryStack::take() {
    std::unique_lock lock(mutex_);
    condition_.wait(lock, [&] { return !stack_.empty() || activeItems_ < 1 || cancelled_; });
    if (cancelled_ || stack_.empty()) {
        // Whoever sees the end wakes the others so they see it too.
        condition_.notify_all();
        return std::nullopt;
    }
    Item item = std::move(stack_.back());
    stack_.pop_back();
    ++activeItems_;
    return item;
}

void DirectoryStack::finish(std::vector<Item>& children) {
    {
        std::lock_guard lock(mutex_);
        stack_.insert(stack_.end(), std::make_move_iterator(children.begin()), std::make_move_iterator(children.end()));
        --activeItems_;
    }
    children.clear();
    condition_.notify_all();
}

void DirectoryStack::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    condition_.notify_all();
}
