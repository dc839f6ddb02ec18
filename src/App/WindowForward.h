#pragma once

class QWidget;

// The one way the application brings a window of its own to the user: out of the minimized state
// first (a maximized or full-screen window stays so), then shown, raised and activated. A window
// only shown and raised stays iconic on X11.
namespace WindowForward {

void bring(QWidget& window);

}  // namespace WindowForward
