#include "Services/DockerPanelModel.h"

#include "Services/DockerContainerService.h"

#include <QTimer>

#include <algorithm>

#include <variant>

namespace {

// The rows, or the description of why they could not be had.
using Rows = std::variant<std::vector<DockerContainer>, QString>;

QString describe(const std::exception& error) {
    if (auto* docker = dynamic_cast<const DockerError*>(&error)) return docker->errorDescription();
    return QString::fromUtf8(error.what());
}

Rows loadRows(std::stop_token stop) {
    try {
        return DockerContainerService::containers(stop);
    } catch (const std::exception& error) {
        return describe(error);
    }
}

// The description of the failure, if the action failed.
std::optional<QString> performAction(DockerAction action, const QString& id, std::stop_token stop) {
    try {
        DockerContainerService::perform(action, id, stop);
        return std::nullopt;
    } catch (const std::exception& error) {
        return describe(error);
    }
}

}  // namespace

DockerPanelModel::DockerPanelModel(std::chrono::milliseconds pollInterval, QObject* parent)
    : QObject(parent), pollInterval_(pollInterval) {}

void DockerPanelModel::poll(std::stop_token stop) {
    ++pollLoops_;
    pollFrom(std::move(stop));
}

void DockerPanelModel::pollFrom(std::stop_token stop) {
    if (stop.stop_requested()) {
        --pollLoops_;
        return;
    }
    refreshThen([this, stop] { QTimer::singleShot(pollInterval_, this, [this, stop] { pollFrom(stop); }); });
}

void DockerPanelModel::refresh() {
    refreshThen({});
}

void DockerPanelModel::refreshThen(std::function<void()> done) {
    // An action in flight reloads the rows itself when it ends.
    if (isRefreshing_ || !busyIDs_.isEmpty()) {
        if (done) done();
        return;
    }
    isRefreshing_ = true;
    const NewestJob::Ticket ticket = loads_.start();
    jobs_.run(std::stop_source(), loadRows, [this, ticket, done](JobOutcome<Rows>& outcome) {
        Rows& rows = outcome.value();
        if (loads_.isNewest(ticket)) {
            if (auto* loaded = std::get_if<std::vector<DockerContainer>>(&rows)) {
                setContainers(std::move(*loaded));
                setError(std::nullopt);
            } else {
                setContainers({});
                setError(std::get<QString>(rows));
            }
        }
        isRefreshing_ = false;
        if (isLoading_) {
            isLoading_ = false;
            emit isLoadingChanged();
        }
        if (done) done();
    });
}

void DockerPanelModel::perform(DockerAction action, const DockerContainer& container) {
    const QString id = container.id;
    if (busyIDs_.contains(id)) return;
    busyIDs_.insert(id);
    emit busyIDsChanged();
    setActionError(id, std::nullopt);
    loads_.supersede();  // rows being loaded now predate the action
    jobs_.run(
        std::stop_source(), [action, id](std::stop_token stop) { return performAction(action, id, stop); },
        [this, id](JobOutcome<std::optional<QString>>& outcome) {
            if (std::optional<QString>& failure = outcome.value()) {
                // One failed action says nothing about Docker as a whole: the rows stay.
                setActionError(id, std::move(failure));
                finishAction(id);
            } else {
                reloadAfterAction(id);
            }
        });
}

void DockerPanelModel::reloadAfterAction(const QString& id) {
    const NewestJob::Ticket ticket = loads_.start();
    jobs_.run(std::stop_source(), loadRows, [this, ticket, id](JobOutcome<Rows>& outcome) {
        Rows& rows = outcome.value();
        if (auto* loaded = std::get_if<std::vector<DockerContainer>>(&rows)) {
            if (loads_.isNewest(ticket)) {
                setContainers(std::move(*loaded));
                setError(std::nullopt);
            }
        } else {
            setError(std::get<QString>(rows));  // the rows stay as they were
        }
        finishAction(id);
    });
}

void DockerPanelModel::finishAction(const QString& id) {
    busyIDs_.remove(id);
    emit busyIDsChanged();
}

void DockerPanelModel::setContainers(std::vector<DockerContainer> containers) {
    if (containers == containers_) return;
    containers_ = std::move(containers);
    emit containersChanged();
    // A container that is gone takes its failure along.
    bool dropped = false;
    for (auto it = actionErrors_.begin(); it != actionErrors_.end();) {
        const bool listed = std::any_of(containers_.begin(), containers_.end(), [&](const DockerContainer& row) { return row.id == it.key(); });
        if (listed) {
            ++it;
        } else {
            it = actionErrors_.erase(it);
            dropped = true;
        }
    }
    if (dropped) emit actionErrorsChanged();
}

void DockerPanelModel::setActionError(const QString& id, std::optional<QString> error) {
    if (error) {
        if (actionErrors_.contains(id) && actionErrors_.value(id) == *error) return;
        actionErrors_.insert(id, *error);
    } else if (!actionErrors_.remove(id)) {
        return;
    }
    emit actionErrorsChanged();
}

void DockerPanelModel::setError(std::optional<QString> error) {
    if (error == error_) return;
    error_ = std::move(error);
    emit errorChanged();
}
