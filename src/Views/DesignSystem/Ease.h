#pragma once

#include <QEasingCurve>

// The design system's one ease-out, and the durations it runs for, in milliseconds.
namespace Ease {

inline QEasingCurve out() { return QEasingCurve(QEasingCurve::OutCubic); }

inline constexpr int hoverMs = 150;        // a hovered tile and the strip that describes it
inline constexpr int panelTabMs = 180;     // the panel changing its tab
inline constexpr int showAllMs = 200;      // a list showing all its rows, or only the first again
inline constexpr int capacityBarMs = 400;  // the capacity bar following a new scan

}  // namespace Ease
