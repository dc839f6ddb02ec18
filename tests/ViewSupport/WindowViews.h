#pragma once

#include "Models/AppSection.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;
class RootView;

namespace WindowViews {

// The main window's default size, what a user sees first.
inline constexpr int defaultWidth = 1320, defaultHeight = 880;

// One view of the main window: a section, and inside it a tab, a tool or a map mode chosen by `drive`.
struct View {
    QString name;  // "tools-startup"
    AppSection section;
    std::function<void(RootView&)> drive;  // none: the section as it opens
};

// Every section with every tab, tool and map mode it offers, and the storage screen with a block
// hovered and with all its folders shown.
std::vector<View> all();

// Shows `root` at the default size on `view`, its fades settled.
void show(RootView& root, const View& view);

// The height at which no scroll area inside `window` scrolls any more at its present width (at
// most `limit`): the window's full length. The window is left at that height.
int growToFullLength(QWidget& window, int limit = 6000);

}  // namespace WindowViews
