#include "Platform/KeyFile.h"

#include "Platform/FileContents.h"

std::string_view KeyFile::trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<KeyFile> KeyFile::read(const std::filesystem::path& file) {
    auto text = FileContents::read(file, maximumSize);
    if (!text) return std::nullopt;
    return parse(*text);
}

KeyFile KeyFile::parse(std::string_view text) {
    KeyFile file;
    bool inGroup = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            inGroup = line.back() == ']';
            if (inGroup) file.groups_.emplace_back(line.substr(1, line.size() - 2));
            continue;
        }
        const auto equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos) continue;
        file.entries_.push_back({file.groups_.size() - 1, std::string(trimmed(line.substr(0, equals))), std::string(trimmed(line.substr(equals + 1)))});
    }
    return file;
}

bool KeyFile::hasGroup(std::string_view group) const {
    for (const auto& name : groups_)
        if (name == group) return true;
    return false;
}

std::vector<std::string> KeyFile::values(std::string_view group, std::string_view key) const {
    std::vector<std::string> found;
    for (const auto& entry : entries_)
        if (entry.key == key && groups_[entry.group] == group) found.push_back(entry.value);
    return found;
}

std::optional<std::string> KeyFile::value(std::string_view group, std::string_view key) const {
    for (const auto& entry : entries_)
        if (entry.key == key && groups_[entry.group] == group) return entry.value;
    return std::nullopt;
}

std::vector<std::string> KeyFile::words(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;  // a quoted empty word is a word too
    char quote = 0;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '\\' && i + 1 < commandLine.size()) {
            word.push_back(commandLine[++i]);
            inWord = true;
        } else if (quote) {
            if (c == quote) quote = 0;
            else word.push_back(c);
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::string KeyFile::firstWord(std::string_view commandLine) {
    std::vector<std::string> all = words(commandLine);
    return all.empty() ? std::string() : std::move(all.front());
}
