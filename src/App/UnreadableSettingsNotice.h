#pragma once

#include "Platform/SettingsFile.h"

#include <QMessageBox>

#include <memory>

// The warning that the settings file could not be read: which file, why, and that nothing in it is
// touched for the rest of the run.
std::unique_ptr<QMessageBox> makeUnreadableSettingsNotice(const SettingsFile::ReadFailure& failure, const QString& path);

// The warning that the settings file was damaged at start: which file, where it was kept as it
// was, and that what could be read goes on.
std::unique_ptr<QMessageBox> makeDamagedSettingsNotice(const QString& path, const QString& copy);

// The warning that a change could not be written to the settings file: which file, why (errno), and
// that the file keeps what it held.
std::unique_ptr<QMessageBox> makeUnwritableSettingsNotice(int error, const QString& path);
