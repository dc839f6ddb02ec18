#include "Platform/Utf8CharacterType.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

extern char** environ;

namespace Utf8CharacterType {
namespace {

constexpr std::string_view utf8 = "C.UTF-8";

constexpr std::array<std::pair<std::string_view, int>, 11> otherCategories = {{
    {"LC_COLLATE", LC_COLLATE_MASK},
    {"LC_MESSAGES", LC_MESSAGES_MASK},
    {"LC_MONETARY", LC_MONETARY_MASK},
    {"LC_NUMERIC", LC_NUMERIC_MASK},
    {"LC_TIME", LC_TIME_MASK},
    {"LC_PAPER", LC_PAPER_MASK},
    {"LC_NAME", LC_NAME_MASK},
    {"LC_ADDRESS", LC_ADDRESS_MASK},
    {"LC_TELEPHONE", LC_TELEPHONE_MASK},
    {"LC_MEASUREMENT", LC_MEASUREMENT_MASK},
    {"LC_IDENTIFICATION", LC_IDENTIFICATION_MASK},
}};

bool names(const std::string& entry, std::string_view name) {
    return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=';
}

bool isLocaleVariable(const std::string& entry) {
    return names(entry, "LC_ALL") || names(entry, "LC_CTYPE") ||
           std::any_of(otherCategories.begin(), otherCategories.end(), [&](const auto& category) { return names(entry, category.first); });
}

// As the C library reads it: the first entry of a name counts, and an empty value is none.
std::string valueOf(const std::vector<std::string>& environment, std::string_view name) {
    auto first = std::find_if(environment.begin(), environment.end(), [&](const std::string& entry) { return names(entry, name); });
    return first == environment.end() ? std::string() : first->substr(name.size() + 1);
}

bool isAvailable(const std::string& locale, int mask) {
    locale_t loaded = ::newlocale(mask, locale.c_str(), locale_t(nullptr));
    if (!loaded) return false;
    ::freelocale(loaded);
    return true;
}

}  // namespace

std::vector<std::string> applied(const std::vector<std::string>& environment) {
    const std::string all = valueOf(environment, "LC_ALL");
    const std::string lang = valueOf(environment, "LANG");
    std::vector<std::string> result;
    std::copy_if(environment.begin(), environment.end(), std::back_inserter(result), [](const std::string& entry) { return !isLocaleVariable(entry); });
    for (const auto& [name, mask] : otherCategories) {
        std::string locale = all;
        if (locale.empty()) locale = valueOf(environment, name);
        if (locale.empty()) locale = lang;
        if (locale.empty()) continue;  // the C locale, as before
        result.push_back(std::string(name) + '=' + (isAvailable(locale, mask) ? locale : std::string(utf8)));
    }
    result.push_back("LC_CTYPE=" + std::string(utf8));
    return result;
}

std::vector<std::string> forChild() {
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry) environment.emplace_back(*entry);
    return applied(environment);
}

}  // namespace Utf8CharacterType
