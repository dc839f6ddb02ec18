#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

// Looks into folders that may lie on a file system that stops answering (a network share whose
// network went away, a FUSE file system whose daemon hangs), where a look can wait for ever: each
// look runs on a thread of its own, and the caller waits for it at most the time limit. A folder whose
// look did not answer in time is not looked into again until that look has ended: until then every
// look into it reports at once that it does not answer. A look that never ends holds one thread, and
// nothing else; at most `maximumUnanswered` do, after which every new folder is reported as not
// answering without being looked into.
class BoundedLooks {
public:
    using Look = std::function<bool(const std::string& folder)>;
    static constexpr std::size_t maximumUnanswered = 32;

    BoundedLooks(Look look, std::chrono::milliseconds limit);

    // What the look answered; absent when the folder did not answer in time.
    std::optional<bool> look(const std::string& folder);

private:
    struct Pending;  // shared with the look's thread, which may outlive this object
    Look look_;
    std::chrono::milliseconds limit_;
    std::unordered_map<std::string, std::shared_ptr<Pending>> unanswered_;
};
