#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The directories a parallel walk has still to read, shared by its workers. Last in, first out, so
// each worker goes depth first. The walk is over when the stack is empty and no worker holds a
// directory; after cancellation no directory is handed out any more.
class DirectoryStack {
public:
    struct Item {
        std::string path;     // "" stands for "/", so that children are "/" + name
        std::int64_t index;   // the bucket or root the directory lies under
    };

    explicit DirectoryStack(std::vector<Item> items = {});

    void push(Item item);  // before the workers start
    // Blocks until there is a directory to read; none once the walk is over or cancelled.
    std::optional<Item> take();
    // Ends a taken directory: appends its children in reading order. `children` keeps its storage.
    void finish(std::vector<Item>& children);
    void cancel();

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    std::vector<Item> stack_;
    std::int64_t activeItems_ = 0;
    bool cancelled_ = false;
};
