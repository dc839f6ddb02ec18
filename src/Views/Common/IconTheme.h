#pragma once

#include <QIcon>
#include <QString>

#include <filesystem>
#include <vector>

// Theme icons for the screens, looked up by IconLookup and read by IconFile, never by Qt's own
// loader: that one opens each theme's index.theme and icon cache, and later the icon files, with a
// blocking open on the window's thread, and the user's own icon folders may hold a FIFO under any of
// those names. Qt keeps the icon folders the user cannot write (outside home) for the icons of its
// own widgets.
//
// Without a desktop session (a bare window manager, offscreen) Qt knows no icon theme, or only
// hicolor: then icons are looked for in the hicolor theme with the desktop's usual Adwaita behind
// it, and in the pixmaps folders. A theme the desktop set is kept; a fallback it set too.
namespace IconTheme {

// Called before the first icon is drawn; runs once.
void prepare();

// The files of a theme name's icon (see IconLookup::files). Safe on any thread once prepare() has run.
std::vector<std::filesystem::path> files(const QString& name);

// The icon of a theme name ("firefox", "text-x-generic"); null when no theme has it. Each name is
// looked up once and kept.
QIcon icon(const QString& name);

}  // namespace IconTheme
