#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

// Path texts of many files, NUL-terminated, packed into large blocks that never move: a file costs
// its path's bytes and no allocation of its own. Moving the arena keeps every text where it is.
class PathArena {
public:
    // Stores `directory` + "/" + `name`; the text lives as long as the arena.
    const char* add(std::string_view directory, std::string_view name) {
        const std::size_t length = directory.size() + 1 + name.size();
        if (length + 1 > left_) {
            const std::size_t size = std::max(length + 1, blockSize);
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
            next_ = blocks_.back().get();
            left_ = size;
        }
        char* text = next_;
        std::memcpy(text, directory.data(), directory.size());
        text[directory.size()] = '/';
        std::memcpy(text + directory.size() + 1, name.data(), name.size());
        text[length] = '\0';
        next_ += length + 1;
        left_ -= length + 1;
        return text;
    }

private:
    static constexpr std::size_t blockSize = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
};
