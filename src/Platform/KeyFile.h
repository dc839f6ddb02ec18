#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The "[Group]" and "Key=Value" files of the Linux desktop: desktop entries and systemd units.
// Values are the raw bytes between the first "=" and the line end, trimmed; callers unescape them.
class KeyFile {
public:
    // Empty when the file is not a regular file, cannot be read, or is implausibly large.
    static std::optional<KeyFile> read(const std::filesystem::path& file);
    static KeyFile parse(std::string_view text);

    // Desktop entries and unit files are a few kilobytes; anything larger than this is not one.
    static constexpr size_t maximumSize = 1 << 20;
    // Without the blanks and carriage returns around it, as keys and values are read.
    static std::string_view trimmed(std::string_view text);

    bool hasGroup(std::string_view group) const;
    // Every value of `key` in `group`, in file order (systemd repeats keys).
    std::vector<std::string> values(std::string_view group, std::string_view key) const;
    std::optional<std::string> value(std::string_view group, std::string_view key) const;  // the first

    // The words of a command line: quotes ("…" or '…') group words, a backslash escapes the next character.
    static std::vector<std::string> words(std::string_view commandLine);
    // The first of them; empty when there is none.
    static std::string firstWord(std::string_view commandLine);

private:
    struct Entry {
        size_t group;
        std::string key;
        std::string value;
    };
    std::vector<std::string> groups_;
    std::vector<Entry> entries_;
};
