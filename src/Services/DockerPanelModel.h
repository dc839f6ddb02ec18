#pragma once

#include <QHash>
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
// containers have an action in flight, whether the listing failed and which action failed where.
// Lives on the main thread; the Docker tool runs as a background job, killed when the model goes.
// Nothing here throws: every failure ends up in error() or actionErrors().
class DockerPanelModel : public QObject {
    Q_OBJECT
public:
    explicit DockerPanelModel(std::chrono::milliseconds pollInterval = std::chrono::seconds(5), QObject* parent = nullptr);

    const std::vector<DockerContainer>& containers() const { return containers_; }
    bool isLoading() const { return isLoading_; }
    const QSet<QString>& busyIDs() const { return busyIDs_; }
    // Why the listing failed: Docker is unavailable. None while the rows are current.
    const std::optional<QString>& error() const { return error_; }
    // Why the last action on a container failed, by container id; the rows stay as they were.
    const QHash<QString, QString>& actionErrors() const { return actionErrors_; }

    // Refreshes now and then every poll interval after each refresh ends, until `stop` is requested.
    void poll(std::stop_token stop);
    // Whether a polling loop is still alive: it ends at the first turn that finds its stop requested
    // (after a refresh in flight has ended), and calls Docker no more after that.
    bool isPolling() const { return pollLoops_ > 0; }
    // Reloads the rows, unless a refresh or an action is in flight.
    void refresh();
    // Runs one action on a container that has none in flight, then reloads the rows.
    void perform(DockerAction action, const DockerContainer& container);

signals:
    void containersChanged();
    void isLoadingChanged();
    void busyIDsChanged();
    void errorChanged();
    void actionErrorsChanged();

private:
    void pollFrom(std::stop_token stop);
    void refreshThen(std::function<void()> done);
    void reloadAfterAction(const QString& id);
    void setContainers(std::vector<DockerContainer> containers);
    void setError(std::optional<QString> error);
    void finishAction(const QString& id);
    void setActionError(const QString& id, std::optional<QString> error);

    std::chrono::milliseconds pollInterval_;
    std::vector<DockerContainer> containers_;
    bool isLoading_ = true;
    QSet<QString> busyIDs_;
    std::optional<QString> error_;
    QHash<QString, QString> actionErrors_;
    bool isRefreshing_ = false;
    int pollLoops_ = 0;
    // A load publishes only when no later load and no action began since it started, so stale rows
    // never replace newer ones.
    NewestJob loads_;
    // Last member: destroyed first, so every Docker command is killed and has ended before the rest goes.
    BackgroundJobs jobs_{this};
};
