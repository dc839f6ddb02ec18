#include "Platform/ShellCommands.h"

#include "Platform/KeyFile.h"

#include <algorithm>
#include <string_view>

namespace ShellCommands {

std::vector<std::vector<std::string>> of(const std::string& word) {
    constexpr std::string_view operators = ";&|()<>`\n\r";
    std::vector<std::vector<std::string>> commands;
    if (word.find_first_of(" \t\n;&|()<>`'\"") == std::string::npos) return commands;
    std::vector<std::string> current;
    auto end = [&] {
        if (!current.empty() && current.front() == "exec") current.erase(current.begin());
        if (!current.empty()) commands.push_back(std::move(current));
        current.clear();
    };
    for (const std::string& inner : KeyFile::words(word))
        for (size_t start = 0; start < inner.size();) {
            const size_t stop = std::min(inner.find_first_of(operators, start), inner.size());
            if (stop > start) current.push_back(inner.substr(start, stop - start));
            if (stop < inner.size()) end();
            start = stop + 1;
        }
    end();
    return commands;
}

}  // namespace ShellCommands
