#include "Platform/GitConfig.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string_view text) {
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return low;
}

bool isConfigBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A value as written after its "=": quoted parts joined, escapes read, a comment after it and the
// blanks around it left out.
std::string configValue(std::string_view text) {
    std::string value;
    std::size_t kept = 0;  // the length without the blanks after the last character written or quoted
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (c == '"') {
            quoted = !quoted;
            kept = value.size();
            continue;
        }
        if (!quoted && (c == '#' || c == ';')) break;
        if (c == '\\' && at + 1 < text.size()) {
            const char next = text[++at];
            c = next == 'n' ? '\n' : next == 't' ? '\t' : next == 'b' ? '\b' : next;
        } else if (!quoted && isConfigBlank(c)) {
            if (!value.empty()) value += c;
            continue;
        }
        value += c;
        kept = value.size();
    }
    value.resize(kept);
    return value;
}

}  // namespace

std::optional<std::string> GitConfig::value(std::string_view text, std::string_view section, std::string_view key) {
    const std::string wantedSection = lowered(section), wantedKey = lowered(key);
    std::optional<std::string> found;
    std::string current;
    while (!text.empty()) {
        std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        while (!line.empty() && isConfigBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            // "[core]"; a subsection ("[remote \"origin\"]") is none of those read here.
            const std::string_view name = line.substr(1, line.find(']') - 1);
            current = name.find_first_of(" \t\"") == std::string_view::npos ? lowered(name) : std::string();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || current != wantedSection) continue;
        std::string_view name = line.substr(0, equals);
        while (!name.empty() && isConfigBlank(name.back())) name.remove_suffix(1);
        if (lowered(name) == wantedKey) found = configValue(line.substr(equals + 1));
    }
    return found;
}
