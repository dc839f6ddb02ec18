#pragma once

#include "Foundation/Instant.h"
#include "Services/DiskCapacityService.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class AppState;
class DashboardPage;

// The overview section: the start-up volume with the scan buttons and the live system card, the
// last scan's largest folders and figures (or a prompt to scan), shortcuts to four sections and
// the privacy note. Everything is read afresh from the state when it changes.
class OverviewView : public QWidget {
    Q_OBJECT
public:
    using CapacitySource = std::function<DiskCapacityService::Capacity()>;

    explicit OverviewView(AppState& state, CapacitySource capacity = {}, QWidget* parent = nullptr);

private:
    // The figures of the newest scan: this launch's, else the newest stored record, so that a
    // relaunch does not read as if no scan had ever run.
    struct RecentScan {
        QString name;
        Instant date;
        std::int64_t totalSize = 0;
        std::int64_t fileCount = 0;
        std::int64_t folderCount = 0;
        std::optional<double> duration;  // not kept in the history
    };
    std::optional<RecentScan> recentScan() const;

    void rebuild();
    QWidget* makeStorageCard();
    QWidget* makeLargestFolders();
    QWidget* makeRecentScan(const RecentScan& scan);
    QWidget* makeScanPrompt();

    AppState& state_;
    CapacitySource capacity_;
    DashboardPage* page_;
};
