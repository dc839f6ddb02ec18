#pragma once

#include <QString>
#include <QStringList>

// How the uninstaller compares the names an application, its programs and its leftovers go by.
namespace ApplicationNames {

// A name or identifier used as a folder name or a match key must name one item of its own: "." or
// a slash would reach the folder itself or above.
bool isUsableKey(const QString& key);

// A name as names are compared: without case and without spaces, "-", "_" and ".". "Sublime Text",
// "sublime-text" and "sublime_text" are one name.
QString nameKey(const QString& name);

// A desktop-file ID without the prefix AppImageLauncher gives the entries it makes
// ("appimagekit_<MD5 of the path>-<name>", "appimagekit_<name>"), which is no part of the name.
QString withoutIntegrationPrefix(QString desktopFileID);

// The usable keys of the ID and the names, each once.
QStringList nameKeys(const QStringList& names, const QString& desktopFileID);

// A program's file name without its version, architecture and extension: "gimp-2.10" is "gimp",
// "GIMP-2.10.38-x86_64.AppImage" is "GIMP".
QString programName(QString name);

// The key of the name a program goes by: "gimp-2.10" and "GIMP-2.10.38-x86_64.AppImage" go by "gimp".
QString programNameKey(const QString& name);

// When a name is an application's name followed by a build word (weekly, nightly, latest, master, main,
// beta, alpha, rc, dev, insiders, canary, preview, continuous, unstable, git), with nothing after it
// but a version, a hash or "builds": the key of that application's name. "FreeCAD Weekly" and
// "FreeCAD_weekly-builds-39811-conda-Linux-x86_64-py311.AppImage" are builds of "freecad",
// "kdenlive-master-a5c9b3f-x86_64.AppImage" one of "kdenlive". Empty for any other name.
QString otherBuildKey(const QString& name);

}  // namespace ApplicationNames
