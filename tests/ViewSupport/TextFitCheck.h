#pragma once

#include <QStringList>

class QWidget;

namespace TextFitCheck {

// What a user cannot read whole in `window` as it is laid out now, one line per fault: texts cut
// with an ellipsis (but paths, which are cut in the middle by design), texts shrunk below their
// size, widgets squeezed below the room their content needs, and widgets clipped by their
// container (a scroll area's own clipping aside). A dialog's title must fit its width.
QStringList faults(const QWidget& window);

}  // namespace TextFitCheck
