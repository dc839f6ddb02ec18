#include "Models/CopyNames.h"

#include "Foundation/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool hasSuffixIgnoringCase(std::string_view text, std::string_view end) { return text.size() >= end.size() && equalIgnoringAsciiCase(text.substr(text.size() - end.size()), end); }
bool hasPrefixIgnoringCase(std::string_view text, std::string_view start) { return text.size() >= start.size() && equalIgnoringAsciiCase(text.substr(0, start.size()), start); }

// The number of a copy: 1 to 3 digits, so that a year ("Album (1997)") is none.
bool isDigits(std::string_view text) {
    return !text.empty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit((unsigned char)c); });
}

// Takes a closing " N" (or "N" right after an opening parenthesis) off `text`; false when there is none.
bool dropNumber(std::string_view& text) {
    const std::size_t trailing = std::size_t(std::find_if(text.rbegin(), text.rend(), [](char c) { return !std::isdigit((unsigned char)c); }) - text.rbegin());
    if (trailing == 0 || trailing > 3) return false;
    text.remove_suffix(trailing);
    return true;
}

// "(1)", "(copy)", "(another copy)", "(3rd copy)", "(copy 2)": the inside of a closing parenthesis.
bool isCopyParenthesis(std::string_view inside) {
    if (isDigits(inside) || equalIgnoringAsciiCase(inside, "copy") || equalIgnoringAsciiCase(inside, "another copy")) return true;
    if (hasPrefixIgnoringCase(inside, "copy ") && isDigits(inside.substr(5))) return true;
    if (!hasSuffixIgnoringCase(inside, " copy")) return false;
    std::string_view ordinal = inside.substr(0, inside.size() - 5);
    constexpr std::array suffixes{std::string_view("st"), std::string_view("nd"), std::string_view("rd"), std::string_view("th")};
    return std::any_of(suffixes.begin(), suffixes.end(), [&](std::string_view suffix) { return hasSuffixIgnoringCase(ordinal, suffix); }) &&
           isDigits(ordinal.substr(0, ordinal.size() - 2));
}

// Whether `stem`, a name without its extension, ends or begins with a mark, with something left of
// the name itself.
bool stemCarriesMark(std::string_view stem) {
    if (stem.empty()) return false;
    if (hasPrefixIgnoringCase(stem, "Copy of ") && stem.size() > 8) return true;
    if (hasPrefixIgnoringCase(stem, "Copy (")) {
        const std::size_t close = stem.find(") of ");
        if (close != std::string_view::npos && isDigits(stem.substr(6, close - 6)) && stem.size() > close + 5) return true;
    }
    if (stem.back() == ')') {
        const std::size_t open = stem.rfind('(');
        if (open != std::string_view::npos && open > 0 && isCopyParenthesis(stem.substr(open + 1, stem.size() - open - 2))) {
            std::string_view before = stem.substr(0, open);
            // "budget - Copy (2)", Windows's second copy.
            if (hasSuffixIgnoringCase(before, " - Copy ") && before.size() > 8) return true;
            // "photo(1)" as a browser saves it, without the space; words need it.
            if (isDigits(stem.substr(open + 1, stem.size() - open - 2))) return !before.empty() && before.find_first_not_of(' ') != std::string_view::npos;
            return before.size() > 1 && before.back() == ' ';
        }
    }
    std::string_view rest = stem;
    if (dropNumber(rest)) {
        if (rest.empty() || rest.back() != ' ') return false;
        rest.remove_suffix(1);
    }
    return hasSuffixIgnoringCase(rest, " copy") && rest.size() > 5;
}

// The name without its last extension, when it has one: a short run of letters and digits after a dot
// that is not the first character.
std::string_view withoutExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot - 1 > 10) return name;
    const std::string_view extension = name.substr(dot + 1);
    if (!std::all_of(extension.begin(), extension.end(), [](char c) { return std::isalnum((unsigned char)c); })) return name;
    return name.substr(0, dot);
}

}  // namespace

namespace CopyNames {

bool carriesCopyMark(std::string_view name) {
    const std::string_view stem = withoutExtension(name);
    return stemCarriesMark(name) || stemCarriesMark(stem) || (stem != name && stemCarriesMark(withoutExtension(stem)));
}

}  // namespace CopyNames
