#pragma once

#include <string_view>

// The marks a copy's name gets where a browser, a file manager or a desktop saves it beside a file
// of the same name: "photo (1).jpg", "photo(1).jpg", "report (copy).odt", "report (another copy).odt",
// "report (3rd copy).odt", "budget - Copy.xlsx", "budget - Copy (2).xlsx", "Copy of budget.xlsx",
// "Copy (2) of budget.xlsx", "notes copy.txt", "notes copy 2.txt"; before the extension (both of
// "archive (1).tar.gz"), and on folders alike ("OK Computer (2)").
namespace CopyNames {

bool carriesCopyMark(std::string_view name);

}  // namespace CopyNames
