#pragma once

#include "Services/DiskCapacityService.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class AppState;
class Banner;
class CapacityBar;
class CoalescedUpdate;
class HeroValue;
class KeyValueRow;
class RankedRow;
class StatColumns;
class StyledButton;

// The overview section: the start-up volume with the scan buttons and the live system card, the
// last scan's largest folders and figures (or a prompt to scan), shortcuts to four sections and
// the privacy note. Built once; a burst of state changes updates it in place on the next turn of the event loop.
class OverviewView : public QWidget {
    Q_OBJECT
public:
    using CapacitySource = std::function<DiskCapacityService::Capacity()>;

    explicit OverviewView(AppState& state, CapacitySource capacity = {}, QWidget* parent = nullptr);

private:
    QWidget* makeStorageCard();
    QWidget* makeLargestFolders();
    QWidget* makeRecentScan();
    Banner* makeScanPrompt();
    void updatePage();
    void refreshStorageCard();
    void refreshScanCards();

    AppState& state_;
    CapacitySource capacity_;
    CoalescedUpdate* pageUpdate_;

    HeroValue* freeHero_;
    StyledButton* scanButton_;
    CapacityBar* capacityBar_;
    StatColumns* storageStats_;
    QWidget* largestFolders_;
    QWidget* recentCard_;
    std::vector<RankedRow*> folderRows_;
    std::vector<std::filesystem::path> folderPaths_;
    HeroValue* recentHero_;
    KeyValueRow* recentFiles_;
    KeyValueRow* recentFolders_;
    KeyValueRow* recentDuration_;
    Banner* scanPrompt_;
};
