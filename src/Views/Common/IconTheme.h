#pragma once

// Without a desktop session (a bare window manager, offscreen) Qt knows no icon theme, and every
// application and file icon would come out empty. Then icons are looked for where the XDG folders
// keep them: the hicolor theme with the desktop's usual Adwaita behind it, and the pixmaps folder.
// Leaves a theme the desktop set alone. Called before the first icon lookup; runs once.
namespace IconTheme {

void prepare();

}  // namespace IconTheme
