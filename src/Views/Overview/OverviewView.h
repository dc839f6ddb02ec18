#pragma once

#include "Services/DiskCapacityService.h"

#include <QWidget>

#include <functional>

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
    void rebuild();
    QWidget* makeStorageCard();
    QWidget* makeLargestFolders();
    QWidget* makeRecentScan();
    QWidget* makeScanPrompt();

    AppState& state_;
    CapacitySource capacity_;
    DashboardPage* page_;
};
