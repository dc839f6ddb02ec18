#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

// Answers about folders, each worked out once and then remembered; safe to ask from any number of
// threads. The lock is not held while an answer is worked out, so that working it out may ask
// again (a folder's answer made of its parent's): two threads asking at once may both work it out,
// and the first answer stays.
template <typename Answer>
class FolderAnswers {
public:
    template <typename WorkOut>
    Answer of(const std::string& folder, WorkOut&& workOut) {
        {
            std::lock_guard guard(lock_);
            if (const auto known = answers_.find(folder); known != answers_.end()) return known->second;
        }
        Answer answer = workOut();
        std::lock_guard guard(lock_);
        return answers_.emplace(folder, std::move(answer)).first->second;
    }

private:
    std::mutex lock_;
    std::unordered_map<std::string, Answer> answers_;
};
