#include "Platform/DesktopEntry.h"

namespace {

constexpr std::string_view group = "Desktop Entry";

QString utf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const std::filesystem::path& file) {
    auto keys = KeyFile::read(file);
    if (!keys) return std::nullopt;
    return fromKeyFile(std::move(*keys));
}

std::optional<DesktopEntry> DesktopEntry::fromKeyFile(KeyFile file) {
    if (!file.hasGroup(group)) return std::nullopt;
    return DesktopEntry(std::move(file));
}

std::optional<std::string> DesktopEntry::unescaped(std::string_view key) const {
    auto raw = file_.value(group, key);
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
    return utf8(*value);
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
    return file_.value(group, key) == "true";
}

std::optional<QString> DesktopEntry::program() const {
    auto exec = unescaped("Exec");
    if (!exec) return std::nullopt;
    std::string word = KeyFile::firstWord(*exec);
    if (word.empty()) return std::nullopt;
    return utf8(word);
}

std::vector<std::string> DesktopEntry::command() const {
    auto exec = unescaped("Exec");
    return exec ? KeyFile::words(*exec) : std::vector<std::string>();
}
