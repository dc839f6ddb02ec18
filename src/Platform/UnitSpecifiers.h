#pragma once

#include "Platform/SystemRoots.h"

#include <string>
#include <string_view>

// The "%" specifiers of a systemd unit's values, resolved as systemd resolves them.
namespace UnitSpecifiers {

// Those the unit's own name answers ("Getty on %I" of "getty@tty1.service" reads "Getty on tty1");
// with `roots`, also the user's folders and names a user unit's commands use: %h the home, %E, %S,
// %C the configuration, state and cache folders, %t the runtime folder, %U and %u the user, each as
// the machine names it. The others stay as written.
std::string expanded(std::string_view text, std::string_view unitName, const SystemRoots* roots = nullptr);

}  // namespace UnitSpecifiers
