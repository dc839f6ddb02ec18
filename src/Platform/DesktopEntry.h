#pragma once

#include "Platform/KeyFile.h"

#include <QLocale>
#include <QString>

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// The "[Desktop Entry]" group of a freedesktop .desktop file: what Linux has in place of an
// application's information dictionary and of a login item's property list.
class DesktopEntry {
public:
    // Empty when the file cannot be read or has no "[Desktop Entry]" group, or the group given: a
    // Nemo action is the same keys under "[Nemo Action]".
    static std::optional<DesktopEntry> read(const std::filesystem::path& file, std::string_view mainGroup = entryGroup);
    static std::optional<DesktopEntry> fromKeyFile(KeyFile file, std::string_view mainGroup = entryGroup);

    // A string value with its escapes (\s \n \t \r \\) resolved.
    std::optional<QString> text(std::string_view key) const;
    // "Key[lang_COUNTRY]", then "Key[lang]", then "Key".
    std::optional<QString> localizedText(std::string_view key, const QLocale& locale) const;
    bool flag(std::string_view key) const;  // true only for "true"
    // The program of the Exec line: its first word, unquoted; empty when there is none.
    std::optional<QString> program() const;
    // The words of the Exec line, unquoted, "%%" read as "%" and field codes ("%U") left out; empty
    // when there is none.
    std::vector<std::string> command() const;
    // The commands of the actions its Actions key lists ("[Desktop Action new-window]") and of the
    // profiles a file manager's action lists ("[X-Action-Profile profile-zero]"), read as `command`;
    // an action without an Exec line gives none.
    std::vector<std::vector<std::string>> actionCommands() const;

private:
    DesktopEntry(KeyFile file, std::string_view mainGroup) : file_(std::move(file)), group_(mainGroup) {}
    std::optional<std::string> unescaped(std::string_view key) const { return unescaped(key, group_); }
    std::optional<std::string> unescaped(std::string_view key, std::string_view inGroup) const;
    std::vector<std::string> commandOf(std::string_view inGroup) const;

    static constexpr std::string_view entryGroup = "Desktop Entry";

    KeyFile file_;
    std::string group_;
};
