#pragma once

#include "Foundation/Instant.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The machine's file-name index, read with plocate (its index is built by updatedb). It stands in for
// the desktop search tool: it finds names that contain a text, ignoring case, and prints the paths
// NUL-separated, so a name with a line break stays one path.
struct FileNameIndex {
    std::filesystem::path program = "/usr/bin/plocate";
    std::filesystem::path database = "/var/lib/plocate/plocate.db";

    bool exists() const;
    // When updatedb last wrote the index: the file's modification time. None when it cannot be read.
    std::optional<Instant> updatedAt() const;

    // `text` is matched literally except "*", which stays a wildcard. Every match is printed, in the
    // index's order: the caller ends plocate once it has what it needs, since only it knows which of
    // the printed paths still exist.
    std::vector<std::string> arguments(std::string_view text) const;

    // The pattern plocate matches against each file name: the text itself, or, when it holds glob
    // characters, "*" + text + "*" with all but "*" escaped. An extension query matches the end
    // of the name only: "*" + text, escaped alike, so ".deb" finds "a.deb" and not "a.debug".
    static std::string namePattern(std::string_view text);

    // One leading dot and no other dot or white space: ".deb", ".tar" (not ".tar.gz", not ".").
    static bool isExtensionQuery(std::string_view text);
};
