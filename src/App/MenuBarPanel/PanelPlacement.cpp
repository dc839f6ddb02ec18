#include "App/MenuBarPanel/PanelPlacement.h"

#include <algorithm>

namespace PanelPlacement {

QPoint topLeft(const QRect& icon, const QPoint& pointer, const QSize& panel, const QRect& screen) {
    constexpr int gap = 4;
    const QRect anchor = icon.isValid() && !icon.isEmpty() ? icon : QRect(pointer, QSize(1, 1));
    int x = anchor.center().x() - panel.width() / 2;
    const bool upperHalf = anchor.center().y() < screen.center().y();
    int y = upperHalf ? anchor.bottom() + 1 + gap : anchor.top() - gap - panel.height();
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - panel.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - panel.height()));
    return {x, y};
}

}  // namespace PanelPlacement
