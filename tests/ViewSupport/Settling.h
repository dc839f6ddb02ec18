#pragma once

class QObject;
class QWidget;

// Waiting for a widget tree to come to rest, as a user sees it once things settle: no fade or ease
// of the design system running, and the layout at its fixed point.
namespace Settling {

bool isAnimating(const QObject& root);

// Lets the event loop run until no animation of `root` runs, no application icon is still being
// decoded, and no widget in it moved, changed
// size or appeared or disappeared since the previous turn (rows built a batch a turn, layouts
// that settle level by level). False when it is still moving after `timeoutMs`.
bool waitUntilStill(QWidget& root, int timeoutMs = 5000);

}  // namespace Settling
