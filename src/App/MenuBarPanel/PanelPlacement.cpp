#include "App/MenuBarPanel/PanelPlacement.h"

#include <algorithm>

namespace PanelPlacement {

QRect anchor(const QRect& icon, const QPoint& pointer, bool clicked) {
    const bool told = icon.isValid() && !icon.isEmpty();
    if (told && (!clicked || icon.contains(pointer))) return icon;
    return {pointer, QSize(1, 1)};
}

QPoint topLeft(const QRect& anchor, const QSize& panel, const QRect& screen) {
    constexpr int gap = 4;
    int x = anchor.center().x() - panel.width() / 2;
    const bool upperHalf = anchor.center().y() < screen.center().y();
    int y = upperHalf ? anchor.bottom() + 1 + gap : anchor.top() - gap - panel.height();
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - panel.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - panel.height()));
    return {x, y};
}

}  // namespace PanelPlacement
