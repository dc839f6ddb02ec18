#pragma once

#include <QString>

#include <optional>

// One row of the Docker page: the tool's own texts, kept unparsed.
struct DockerContainer {
    QString id;  // the full identifier, untruncated
    QString name;
    QString image;
    QString state;  // only "running" means anything here
    QString status;
    QString ports;
    std::optional<QString> cpu;     // from the stats line of the same name
    std::optional<QString> memory;

    bool isRunning() const { return state == QLatin1String("running"); }

    bool operator==(const DockerContainer&) const = default;
};
