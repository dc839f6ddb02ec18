#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Opens the desktop's privacy settings, where a known settings program is installed; Linux has no
// Full Disk Access switch, so this is the nearest place a user manages what programs may read.
namespace PrivacySettings {

struct Program {
    QString name;
    QStringList arguments;
};

// The known settings programs, in the order they are tried.
const std::vector<Program>& knownPrograms();

// Whether `find` (the full path of a program, or empty) finds one of the known programs.
bool available(const std::function<QString(const QString&)>& find);
bool available();

// Starts the first known program found by `find` (its full path, or empty); false when none is.
bool open(const std::function<QString(const QString&)>& find, const std::function<bool(const QString&, const QStringList&)>& start);
// The same with the search path and a detached process.
bool open();

}  // namespace PrivacySettings
