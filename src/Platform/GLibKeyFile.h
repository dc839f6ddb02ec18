#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// A key file read by the rules of GLib's key-file loader, which desktop sessions read autostart
// entries with: one line it cannot read refuses the whole file ("; comment", a line without "=", a
// key before the first group, a bad group or key name, an "Encoding" other than UTF-8); a repeated
// group continues the first, and the last of repeated keys counts. Blanks are spaces, tabs, form
// feeds and carriage returns (not vertical tabs); a line ends at "\n", one "\r" before it dropped,
// and is read only up to a NUL byte.
class GLibKeyFile {
public:
    // One line as the loader reads it. Offsets count from the start of the text.
    struct Line {
        enum class Kind { comment, group, pair };
        Kind kind = Kind::comment;
        std::size_t start = 0;  // of the line
        std::size_t end = 0;    // past its "\n", or the end of the text
        std::string_view ending;  // "\r\n", "\n" or nothing
        std::string_view group;   // a group line's name, and the group a pair belongs to
        std::string_view key;
        std::size_t valueStart = 0;  // a pair's value: blanks after "=" skipped, trailing ones kept
        std::size_t valueEnd = 0;
    };

    // Calls `visit` for each line in order until one is refused. The 1-based number of the refused
    // line; nothing when every line reads.
    static std::optional<std::size_t> scan(std::string_view text, const std::function<void(const Line&)>& visit);

    // Nothing when the loader refuses the text; `refusedLine` then tells which line.
    static std::optional<GLibKeyFile> parse(std::string_view text, std::size_t* refusedLine = nullptr);

    bool hasGroup(std::string_view group) const;
    // The value of the key's last line in the group, as written (escapes not resolved).
    std::optional<std::string> value(std::string_view group, std::string_view key) const;

    // The loader's booleans: "true" or "1", "false" or "0", trailing blanks allowed; anything else
    // is no boolean.
    static std::optional<bool> boolean(std::string_view value);

private:
    using Keys = std::map<std::string, std::string, std::less<>>;
    std::map<std::string, Keys, std::less<>> groups_;
};
