#include "Platform/DesktopEntry.h"

#include "Foundation/PathText.h"

#include <algorithm>

namespace {

// A word of an Exec line as the desktop runs it: "%%" is a "%", and the field codes it replaces with
// what it opens ("%U", "%f", "%i"…) stand for nothing here. A word of a field code alone is none.
std::optional<std::string> withFieldCodesExpanded(const std::string& word) {
    constexpr std::string_view fieldCodes = "fFuUdDnNickvm";
    std::string expanded;
    bool onlyCodes = !word.empty();
    for (size_t i = 0; i < word.size(); ++i) {
        const char next = i + 1 < word.size() ? word[i + 1] : '\0';
        if (word[i] == '%' && next == '%') {
            expanded.push_back('%');
            onlyCodes = false;
            ++i;
        } else if (word[i] == '%' && next != '\0' && fieldCodes.find(next) != std::string_view::npos) {
            ++i;
        } else {
            expanded.push_back(word[i]);
            onlyCodes = false;
        }
    }
    if (onlyCodes) return std::nullopt;
    return expanded;
}

}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const std::filesystem::path& file, std::string_view mainGroup) {
    auto keys = KeyFile::read(file);
    if (!keys) return std::nullopt;
    return fromKeyFile(std::move(*keys), mainGroup);
}

std::optional<DesktopEntry> DesktopEntry::fromKeyFile(KeyFile file, std::string_view mainGroup) {
    if (!file.hasGroup(mainGroup)) return std::nullopt;
    return DesktopEntry(std::move(file), mainGroup);
}

std::optional<std::string> DesktopEntry::unescaped(std::string_view key, std::string_view inGroup) const {
    auto raw = file_.value(inGroup, key);
    if (!raw) return std::nullopt;
    std::string value;
    for (size_t i = 0; i < raw->size(); ++i) {
        const char c = (*raw)[i];
        if (c != '\\' || i + 1 == raw->size()) {
            value.push_back(c);
            continue;
        }
        switch (const char next = (*raw)[++i]) {
        case 's': value.push_back(' '); break;
        case 'n': value.push_back('\n'); break;
        case 't': value.push_back('\t'); break;
        case 'r': value.push_back('\r'); break;
        case '\\': value.push_back('\\'); break;
        default: value.push_back('\\'); value.push_back(next);  // kept for the Exec quoting rules
        }
    }
    return value;
}

std::optional<QString> DesktopEntry::text(std::string_view key) const {
    auto value = unescaped(key);
    if (!value) return std::nullopt;
    return PathText::display(*value);
}

std::optional<QString> DesktopEntry::localizedText(std::string_view key, const QLocale& locale) const {
    const std::string name = locale.name().toStdString();  // "ar_EG"
    const std::string language = name.substr(0, name.find('_'));
    for (const std::string& suffix : {name, language}) {
        if (auto value = text(std::string(key) + "[" + suffix + "]")) return value;
    }
    return text(key);
}

bool DesktopEntry::flag(std::string_view key) const {
    return file_.value(group_, key) == "true";
}

std::optional<QString> DesktopEntry::program() const {
    const std::vector<std::string> words = command();
    if (words.empty() || words.front().empty()) return std::nullopt;
    return PathText::display(words.front());
}

std::vector<std::string> DesktopEntry::command() const {
    return commandOf(group_);
}

std::vector<std::vector<std::string>> DesktopEntry::actionCommands() const {
    std::vector<std::vector<std::string>> commands;
    // An application's actions, and the profiles of a file manager's action (Nautilus, Caja).
    for (const auto& [listKey, groupPrefix] : {std::pair{"Actions", "Desktop Action "}, std::pair{"Profiles", "X-Action-Profile "}}) {
        const std::string actions = unescaped(listKey).value_or(std::string());
        for (size_t start = 0; start < actions.size();) {
            const size_t end = std::min(actions.find(';', start), actions.size());
            if (const std::string action(KeyFile::trimmed(std::string_view(actions).substr(start, end - start))); !action.empty())
                if (auto words = commandOf(groupPrefix + action); !words.empty()) commands.push_back(std::move(words));
            start = end + 1;
        }
    }
    return commands;
}

std::vector<std::string> DesktopEntry::commandOf(std::string_view inGroup) const {
    auto exec = unescaped("Exec", inGroup);
    std::vector<std::string> words;
    if (!exec) return words;
    for (const std::string& word : KeyFile::words(*exec))
        if (auto expanded = withFieldCodesExpanded(word)) words.push_back(std::move(*expanded));
    return words;
}
