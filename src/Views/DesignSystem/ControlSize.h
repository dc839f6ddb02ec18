#pragma once

// The sizes a screen asks its controls in by name, as the desktop's own controls come: an
// indeterminate spinner of each size is drawn so many points square. Mini fits the symbol slot of
// a button label it stands in for.
enum class ControlSize { mini, small, regular };

namespace ControlSizes {

constexpr int spinnerSide(ControlSize size) {
    switch (size) {
    case ControlSize::mini: return 13;
    case ControlSize::small: return 18;
    case ControlSize::regular: return 32;
    }
    return 18;
}

}  // namespace ControlSizes
