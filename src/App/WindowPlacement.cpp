#include "App/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace WindowPlacement {
namespace {

QMargins frameOf(const QWidget* window) {
    return window && window->windowHandle() && window->isVisible() ? window->windowHandle()->frameMargins() : QMargins();
}

}  // namespace

QRect fitted(const QRect& available, const QMargins& frame, QSize wanted, std::optional<QPoint> current) {
    const QRect room = available.marginsRemoved(frame);
    const QSize size = wanted.boundedTo(room.size()).expandedTo(QSize(1, 1));
    if (!current) return QRect(QPoint(room.left() + (room.width() - size.width()) / 2, room.top() + (room.height() - size.height()) / 2), size);
    const int x = std::clamp(current->x(), room.left(), std::max(room.left(), room.right() + 1 - size.width()));
    const int y = std::clamp(current->y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

void fit(QWidget& window, QSize wanted, const QWidget* beside) {
    if (window.isMaximized() || window.isFullScreen()) return;
    // Set by the first fitting: from then on the window stays where it was left.
    const bool placed = window.testAttribute(Qt::WA_Moved);
    QScreen* screen = placed ? window.screen() : beside && beside->isVisible() ? beside->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QMargins frame = frameOf(&window);
    if (frame.isNull()) frame = frameOf(beside);
    window.setGeometry(fitted(screen->availableGeometry(), frame, placed ? window.size() : wanted,
                              placed ? std::optional<QPoint>(window.geometry().topLeft()) : std::nullopt));
}

}  // namespace WindowPlacement
