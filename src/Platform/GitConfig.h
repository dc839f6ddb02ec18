#pragma once

#include <optional>
#include <string>
#include <string_view>

// What a git config file sets, read as git reads it: section and key names in any letter case,
// quoted parts joined, escapes read, a comment and the blanks around a value left out; a key set
// twice keeps its last value. Subsections, included files and continued lines are not read.
namespace GitConfig {

// The value the file's `text` gives `section`.`key`, when it gives one.
std::optional<std::string> value(std::string_view text, std::string_view section, std::string_view key);

}  // namespace GitConfig
