#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include "Foundation/BackgroundJobs.h"
#include "Foundation/NewestJob.h"
#include "Models/DockerAction.h"
#include "Models/DockerContainer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

// What the tray panel's Docker page shows: the rows, whether the first load still runs, which
// containers have an action in flight and the last failure. Lives on the main thread; the Docker
// tool runs as a background job, killed when the model goes. Nothing here throws: every failure
// ends up in error().
class DockerPanelModel : public QObject {
    Q_OBJECT
public:
    explicit DockerPanelModel(std::chrono::milliseconds pollInterval = std::chrono::seconds(5), QObject* parent = nullptr);

    const std::vector<DockerContainer>& containers() const { return containers_; }
    bool isLoading() const { return isLoading_; }
    const QSet<QString>& busyIDs() const { return busyIDs_; }
    const std::optional<QString>& error() const { return error_; }

    // Refreshes now and then every poll interval after each refresh ends, until `stop` is requested.
    void poll(std::stop_token stop);
    // Reloads the rows, unless a refresh or an action is in flight.
    void refresh();
    // Runs one action on a container that has none in flight, then reloads the rows.
    void perform(DockerAction action, const DockerContainer& container);

signals:
    void containersChanged();
    void isLoadingChanged();
    void busyIDsChanged();
    void errorChanged();

private:
    void refreshThen(std::function<void()> done);
    void reloadAfterAction(const QString& id);
    void setContainers(std::vector<DockerContainer> containers);
    void setError(std::optional<QString> error);
    void finishAction(const QString& id);

    std::chrono::milliseconds pollInterval_;
    std::vector<DockerContainer> containers_;
    bool isLoading_ = true;
    QSet<QString> busyIDs_;
    std::optional<QString> error_;
    bool isRefreshing_ = false;
    // A load publishes only when no later load and no action began since it started, so stale rows
    // never replace newer ones.
    NewestJob loads_;
    // Last member: destroyed first, so every Docker command is killed and has ended before the rest goes.
    BackgroundJobs jobs_{this};
};
