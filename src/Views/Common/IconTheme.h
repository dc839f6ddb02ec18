#pragma once

// Without a desktop session (a bare window manager, offscreen) Qt knows no icon theme, or only
// hicolor, and most application and file icons would come out empty. Then icons are looked for
// where the XDG folders keep them: the hicolor theme with the desktop's usual Adwaita behind it, and
// the pixmaps folder. A theme the desktop set is kept; a fallback it set too. Called before the
// first icon lookup; runs once.
namespace IconTheme {

void prepare();

}  // namespace IconTheme
