#pragma once

#include "Foundation/FileIdentity.h"
#include "Platform/KeyFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How a desktop session decides whether an autostart entry runs at login, and the two ways this app
// changes that: renaming a user's entry, and setting its own keys. A desktop session skips an entry
// whose "Hidden" is true or whose "X-GNOME-Autostart-enabled" is false (the last of repeated keys
// counts; "1" and "0" are booleans too), and a user's entry replaces the system's of the same name.
namespace AutostartSwitch {

// Whether the keys of an entry's "[Desktop Entry]" group let it start.
bool startsAtLogin(const KeyFile& keys);

// The entry's text made to start (on) or not (off), every other byte as it was: on turns a true
// "Hidden" false and a false "X-GNOME-Autostart-enabled" true; off makes "Hidden" true, adding the
// key after the group's header when it has none. Nothing when the text has no "[Desktop Entry]".
std::optional<std::string> switched(std::string_view text, bool on);

enum class Outcome { done, changed, failed };
struct Result {
    Outcome outcome = Outcome::done;
    int error = 0;  // errno, for failed
};

// Replaces the file's contents with switched(contents, on), atomically: written beside it, synced,
// and swapped in only while the file at the path is still the one `expected` describes (else
// `changed`, and nothing is touched). A symbolic link is never written through or replaced.
Result rewrite(const std::filesystem::path& file, const FileIdentity& expected, bool on);

// Renames the very file `expected` describes, never replacing anything at `to`.
Result rename(const std::filesystem::path& from, const FileIdentity& expected, const std::filesystem::path& to);

}  // namespace AutostartSwitch
