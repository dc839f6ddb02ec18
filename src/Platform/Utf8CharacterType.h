#pragma once

#include <string>
#include <vector>

// The app hands file names to tools as UTF-8 bytes. A tool started under the "C" locale, or under a
// locale the system never generated, reads such a name as invalid multibyte text and refuses it, so
// those tools get a UTF-8 character type whatever the session's locale. C.UTF-8 is built into the C
// library and always present.
namespace Utf8CharacterType {

// `environment` ("NAME=value" each) with LC_CTYPE set to C.UTF-8 and every other category set to
// what the session gives it (LC_ALL, else its own variable, else LANG), so that LC_ALL, which would
// override LC_CTYPE, can go. A category whose locale the system lacks gets C.UTF-8 instead: one
// missing locale makes a tool's setlocale fail for all of them, character type included.
std::vector<std::string> applied(const std::vector<std::string>& environment);

// This process's environment, so changed.
std::vector<std::string> forChild();

}  // namespace Utf8CharacterType
