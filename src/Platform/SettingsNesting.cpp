#include "Platform/SettingsNesting.h"

#include <array>
#include <cstdint>

namespace SettingsNesting {

namespace {

// The type numbers, in the stream version Qt writes settings with, of the values that hold other
// values: map, list, hash, pair, a user type (named, so possibly any of these) and a variant.
constexpr std::array<std::uint8_t, 6> nestingTypes{0x08, 0x09, 0x1c, 0x3a, 0x7f, 0x8a};

bool isNestingType(std::uint8_t byte) {
    for (std::uint8_t type : nestingTypes)
        if (byte == type) return true;
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

// Every value's bytes, as Qt's unescaping makes them (named, hexadecimal and octal escapes; UTF-8
// read as Latin-1 where it can be, anything wider a '?'), run together into one stream. The
// characters Qt may drop or that only structure the text (blanks, quotes, commas, semicolons,
// equals signs, line ends) are left out of the stream, which can only join bytes that Qt keeps
// apart: the count then errs on the high side. A literal tab, which Qt keeps inside a value but
// drops around one, counts on its own as a possible type byte.
bool mayNestTooDeep(const QByteArray& text) {
    int possible = 0;
    std::uint32_t last = 0xffffffff;  // the last four bytes of the stream
    auto push = [&](std::uint8_t byte) {
        last = (last << 8) | byte;
        if ((last & 0xffffff00) == 0 && isNestingType(byte)) ++possible;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size && possible <= limit;) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (c == '\t') {
            ++possible;
            ++i;
        } else if (c == ' ' || c == '"' || c == ',' || c == ';' || c == '=' || c == '\n' || c == '\r') {
            ++i;
        } else if (c == '\\' && i + 1 < size) {
            const char escape = text[i + 1];
            i += 2;
            switch (escape) {
            case 'a': push('\a'); break;
            case 'b': push('\b'); break;
            case 'f': push('\f'); break;
            case 'n': push('\n'); break;
            case 'r': push('\r'); break;
            case 't': push('\t'); break;
            case 'v': push('\v'); break;
            case '"': case '?': case '\'': case '\\': push(static_cast<std::uint8_t>(escape)); break;
            case 'x': {
                std::uint32_t value = 0;
                bool any = false;
                for (int digit; i < size && (digit = hexDigit(text[i])) >= 0; ++i) {
                    value = ((value << 4) | static_cast<std::uint32_t>(digit)) & 0xffff;
                    any = true;
                }
                if (any) push(value > 0xff ? '?' : static_cast<std::uint8_t>(value));
                break;
            }
            default:
                if (escape >= '0' && escape <= '7') {
                    std::uint32_t value = static_cast<std::uint32_t>(escape - '0');
                    for (; i < size && text[i] >= '0' && text[i] <= '7'; ++i) value = ((value << 3) | static_cast<std::uint32_t>(text[i] - '0')) & 0xffff;
                    push(value > 0xff ? '?' : static_cast<std::uint8_t>(value));
                }
                // Any other escaped character, a line end included, is dropped.
            }
        } else if (c == 0xc2 && i + 1 < size && (static_cast<std::uint8_t>(text[i + 1]) & 0xc0) == 0x80) {
            push(static_cast<std::uint8_t>(text[i + 1]));  // U+0080…U+00BF
            i += 2;
        } else if (c >= 0x80) {
            push('?');
            ++i;
        } else {
            push(c);
            ++i;
        }
    }
    return possible > limit;
}

}  // namespace SettingsNesting
