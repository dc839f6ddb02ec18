#include "Foundation/BoundedLooks.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

struct BoundedLooks::Pending {
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<bool> answer;
};

BoundedLooks::BoundedLooks(Look look, std::chrono::milliseconds limit) : look_(std::move(look)), limit_(limit) {}

std::optional<bool> BoundedLooks::look(const std::string& folder) {
    if (auto earlier = unanswered_.find(folder); earlier != unanswered_.end()) {
        const std::lock_guard lock(earlier->second->mutex);
        if (!earlier->second->answer) return std::nullopt;
        // It answers again: looked into afresh, as what it holds may have changed meanwhile.
        unanswered_.erase(earlier);
    }
    if (unanswered_.size() >= maximumUnanswered) {
        // Threads held by silent file systems are not given more: drop the looks that ended since.
        std::erase_if(unanswered_, [](const auto& entry) {
            const std::lock_guard lock(entry.second->mutex);
            return entry.second->answer.has_value();
        });
        if (unanswered_.size() >= maximumUnanswered) return std::nullopt;
    }
    auto pending = std::make_shared<Pending>();
    try {
        std::thread([pending, look = look_, folder] {
            const bool answer = look(folder);
            const std::lock_guard lock(pending->mutex);
            pending->answer = answer;
            pending->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;  // no thread to spare: not looked into, as if it did not answer
    }
    std::unique_lock lock(pending->mutex);
    if (pending->ended.wait_for(lock, limit_, [&] { return pending->answer.has_value(); })) return pending->answer;
    lock.unlock();
    unanswered_.emplace(folder, std::move(pending));
    return std::nullopt;
}
