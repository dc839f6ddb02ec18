#include "Platform/GLibKeyFile.h"

#include <QChar>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\r' || c == '\n';
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// Past the character at `at`, and past any stray continuation bytes after it, as the loader steps.
std::size_t nextCharacter(std::string_view text, std::size_t at) {
    ++at;
    while (at < text.size() && isContinuation(text[at])) ++at;
    return at;
}

// The code point of a whole, valid UTF-8 sequence at the start of `text`; nothing for anything else.
std::optional<char32_t> codePoint(std::string_view text, std::size_t* length) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t count = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xe ? 3 : (lead >> 3) == 0x1e ? 4 : 0;
    if (count == 0 || count > text.size()) return std::nullopt;
    char32_t value = count == 1 ? lead : lead & (0x7f >> count);
    for (std::size_t i = 1; i < count; ++i) {
        if (!isContinuation(text[i])) return std::nullopt;
        value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3f);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[count] || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) return std::nullopt;
    *length = count;
    return value;
}

// A group name: not empty, without "[", "]" or control characters.
bool isGroupName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '[' || c == ']' || byte < 0x20 || byte == 0x7f) return false;
    }
    return true;
}

// A key name: not empty, no "=", "[" or "]", no space at either end, then an optional "[locale]" of
// letters, digits, "-", "_", "." and "@" closing the key.
bool isKeyName(std::string_view key) {
    std::size_t at = 0;
    while (at < key.size() && key[at] != '=' && key[at] != '[' && key[at] != ']') at = std::min(nextCharacter(key, at), key.size());
    if (at == 0 || key[0] == ' ' || key[at - 1] == ' ') return false;
    if (at < key.size() && key[at] == '[') {
        ++at;
        while (at < key.size()) {
            const char c = key[at];
            std::size_t length = 1;
            const auto letter = codePoint(key.substr(at), &length);
            if (c != '-' && c != '_' && c != '.' && c != '@' && !(letter && QChar::isLetterOrNumber(*letter))) break;
            at = std::min(nextCharacter(key, at), key.size());
        }
        if (at == key.size() || key[at] != ']') return false;
        ++at;
    }
    return at == key.size();
}

// "[name]", then only spaces and tabs. The name; nothing when the line is no group line.
std::optional<std::string_view> groupLine(std::string_view line) {
    if (line.empty() || line[0] != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::size_t at = nextCharacter(line, close);
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) at = nextCharacter(line, at);
    if (at < line.size()) return std::nullopt;
    return line.substr(1, close - 1);
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> GLibKeyFile::scan(std::string_view text, const std::function<void(const Line&)>& visit) {
    std::string_view group;
    std::optional<std::string_view> startGroup;
    std::size_t number = 0;
    for (std::size_t position = 0; position < text.size();) {
        ++number;
        Line line;
        line.start = position;
        const std::size_t newline = text.find('\n', position);
        std::string_view body = text.substr(position, newline == std::string_view::npos ? std::string_view::npos : newline - position);
        if (newline == std::string_view::npos) {
            line.end = text.size();
        } else {
            line.end = newline + 1;
            // Only a "\r" right before the "\n" is dropped; one at the very end of the text stays.
            const bool carriageReturn = !body.empty() && body.back() == '\r';
            if (carriageReturn) body.remove_suffix(1);
            line.ending = text.substr(newline - (carriageReturn ? 1 : 0), carriageReturn ? 2 : 1);
        }
        position = line.end;
        body = body.substr(0, body.find('\0'));
        std::size_t first = 0;
        while (first < body.size() && isBlank(body[first])) ++first;
        const std::string_view content = body.substr(first);

        if (content.empty() || content[0] == '#') {
            line.kind = Line::Kind::comment;
        } else if (const auto name = groupLine(content)) {
            if (!isGroupName(*name)) return number;
            line.kind = Line::Kind::group;
            group = *name;
            if (!startGroup) startGroup = group;
        } else {
            const std::size_t equals = content.find('=');
            if (equals == std::string_view::npos || equals == 0 || !startGroup) return number;
            std::size_t keyEnd = equals;
            while (keyEnd > 0 && isBlank(content[keyEnd - 1])) --keyEnd;
            const std::string_view key = content.substr(0, keyEnd);
            if (!isKeyName(key)) return number;
            std::size_t valueStart = equals + 1;
            while (valueStart < content.size() && isBlank(content[valueStart])) ++valueStart;
            const std::string_view value = content.substr(valueStart);
            if (group == *startGroup && key == "Encoding" && !sameIgnoringAsciiCase(value, "UTF-8")) return number;
            line.kind = Line::Kind::pair;
            line.key = key;
            line.valueStart = line.start + first + valueStart;
            line.valueEnd = line.valueStart + value.size();
        }
        line.group = group;
        if (visit) visit(line);
    }
    return std::nullopt;
}

std::optional<GLibKeyFile> GLibKeyFile::parse(std::string_view text, std::size_t* refusedLine) {
    GLibKeyFile file;
    const auto refused = scan(text, [&](const Line& line) {
        if (line.kind == Line::Kind::group) file.groups_.try_emplace(std::string(line.group));
        if (line.kind != Line::Kind::pair) return;
        auto& keys = file.groups_.find(line.group)->second;
        keys.insert_or_assign(std::string(line.key), std::string(text.substr(line.valueStart, line.valueEnd - line.valueStart)));
    });
    if (refusedLine) *refusedLine = refused.value_or(0);
    if (refused) return std::nullopt;
    return file;
}

bool GLibKeyFile::hasGroup(std::string_view group) const {
    return groups_.find(group) != groups_.end();
}

std::optional<std::string> GLibKeyFile::value(std::string_view group, std::string_view key) const {
    const auto keys = groups_.find(group);
    if (keys == groups_.end()) return std::nullopt;
    const auto found = keys->second.find(key);
    if (found == keys->second.end()) return std::nullopt;
    return found->second;
}

std::optional<bool> GLibKeyFile::boolean(std::string_view value) {
    while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
    if (value == "true" || value == "1") return true;
    if (value == "false" || value == "0") return false;
    return std::nullopt;
}
