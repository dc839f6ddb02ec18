#pragma once

#include "Foundation/FileIdentity.h"
#include "Platform/GLibKeyFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How a desktop session decides whether an autostart entry runs at login, and the two ways this app
// changes that: renaming a user's entry, and setting its own keys. A session reads entries with
// GLib's key-file loader and starts one only when the loader takes the file and its "[Desktop
// Entry]" has neither "Hidden" true nor "X-GNOME-Autostart-enabled" present and anything but true
// (the last of repeated keys counts; a value that is no boolean is not true). A user's entry
// replaces the system's of the same name.
namespace AutostartSwitch {

// GLib reads an entry of any size; no real one comes near this. Read off the main thread.
constexpr std::size_t maximumEntrySize = std::size_t(16) << 20;

// Whether the keys of an entry's "[Desktop Entry]" group let it start.
bool startsAtLogin(const GLibKeyFile& keys);

// The entry's text made to start (on) or not (off), every other byte as it was: on turns a true
// "Hidden" false and an "X-GNOME-Autostart-enabled" that is not true true; off makes "Hidden" true,
// adding the key after the group's header when it has none. Nothing when GLib would not load the
// text or it has no "[Desktop Entry]".
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
