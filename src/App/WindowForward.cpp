#include "App/WindowForward.h"

#include <QWidget>

namespace WindowForward {

void bring(QWidget& window) {
    if (window.windowState() & Qt::WindowMinimized) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace WindowForward
