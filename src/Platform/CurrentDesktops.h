#pragma once

#include "Platform/DesktopEntry.h"

#include <QStringList>

// The desktops of this session and which entries they show. Sessions, menus and the autostart
// readers of GNOME, KDE Plasma, Xfce and the others skip an entry whose OnlyShowIn names none of
// them, or whose NotShowIn names one.
namespace CurrentDesktops {

// From XDG_CURRENT_DESKTOP ("GNOME", "KDE", "ubuntu:GNOME"); none under a bare window manager.
QStringList names();

// The desktops an entry's OnlyShowIn and NotShowIn name.
QStringList onlyShowIn(const DesktopEntry& entry);
QStringList notShowIn(const DesktopEntry& entry);

// Whether `desktops` show an entry of those lists.
bool show(const QStringList& only, const QStringList& excluded, const QStringList& desktops);

}  // namespace CurrentDesktops
