#pragma once

#include <QString>

#include <filesystem>

// The machine's name as people call it: the pretty host name of /etc/machine-info, else the host
// name, else "Linux".
namespace MachineName {

QString pretty(const std::filesystem::path& root = "/");

// PRETTY_HOSTNAME of a machine-info text, unquoted; empty when it has none.
QString prettyHostName(const QByteArray& machineInfo);

}  // namespace MachineName
