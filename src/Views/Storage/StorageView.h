#pragma once

#include "Models/StorageBucket.h"
#include "Services/DiskCapacityService.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Storage/FolderSort.h"
#include "Views/Storage/ScanThroughputSampler.h"
#include "Views/Storage/StorageRankPalette.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppState;
struct ScanSnapshot;
class BarSparkline;
class BucketSelection;
class CoalescedUpdate;
class DonutChart;
class FolderInspector;
class HeroValue;
class LegendRow;
class NoFoldersState;
class PendingClick;
class Pill;
class QLineEdit;
class QMessageBox;
class RankedList;
class RankedRow;
class RevealBox;
class StatColumns;
class StatTile;
class StorageMapCard;
class StyledButton;
class TextLabel;
class ThinBar;

// The storage section: the start-up volume's capacity with the scan buttons, then the setup card,
// the running scan with its throughput, or the last scan's results: figures, maps with the folder
// inspector, the filtered folder list and the largest files. Its parts are built once; changes of
// the state update them in place, a burst of changes once, on the next turn of the event loop.
class StorageView : public QWidget {
    Q_OBJECT
public:
    using CapacitySource = std::function<DiskCapacityService::Capacity()>;

    // `capacity` reads the start-up volume; tests pass fixed figures.
    StorageView(AppState& state, DynamicColor tint, CapacitySource capacity = {}, QWidget* parent = nullptr);
    ~StorageView() override;

    BucketSelection& selection() const { return *selection_; }
    // Makes a folder the scan folder and scans it; files and links are not focused.
    void focus(const StorageBucket& bucket);
    // Scans the parent of the folder the results show.
    void goToParentFolder();
    bool offersParentFolder() const;

    // What the page shows now, for tests.
    enum class Body { setup, scanning, results };
    Body body() const { return body_; }
    QString filter() const;
    void setFilter(const QString& text);
    void setSort(FolderSort sort);
    void setShowAllFolders(bool showAll);
    // The folder rows shown now, in list order.
    std::vector<RankedRow*> folderRows() const;
    RevealBox* moreFolders() const { return moreFolders_; }
    StorageMapCard* mapCard() const { return mapCard_; }
    const ScanThroughputSampler& sampler() const { return sampler_; }
    FolderInspector* inspector() const { return inspector_; }
    // A row's single click waits for a possible double click; tests settle it at once.
    PendingClick& pendingRowClick() const { return *pendingRowClick_; }
    // One throughput interval passed; the page's timer calls it every 0.4 s while a scan runs.
    void sampleThroughput();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeHeroCard();
    QWidget* makeSetupCard();
    QWidget* makeScanningCard();
    QWidget* makeResults();
    QWidget* makeFolderBreakdown();
    QWidget* makeLargestFiles();
    void updatePage();
    void refreshHero();
    void refreshResults();
    void refreshFolders();
    void refreshLargestFiles();
    void refreshInspector();
    void refreshScanningFigures();
    void scanningChanged();
    void showScanError();
    RankedRow* folderRow(std::size_t index);
    std::vector<const StorageBucket*> visibleBuckets() const;

    AppState& state_;
    DynamicColor tint_;
    CapacitySource capacity_;
    BucketSelection* selection_;
    CoalescedUpdate* pageUpdate_;
    PendingClick* pendingRowClick_;
    Body body_ = Body::setup;

    // The snapshot the results show; the buckets below point into it.
    std::shared_ptr<const ScanSnapshot> shown_;
    bool snapshotChanged_ = true;
    StorageRankPalette palette_;
    std::vector<const StorageBucket*> visible_;

    QString folderFilter_;
    FolderSort folderSort_ = FolderSort::size;
    bool showAllFolders_ = false;
    ScanThroughputSampler sampler_;
    QTimer sampleTimer_;

    // Hero card.
    HeroValue* freeHero_;
    StatColumns* heroStats_;
    ThinBar* usedBar_;
    DonutChart* donut_;
    LegendRow* legendUsed_;
    LegendRow* legendOther_;
    LegendRow* legendReserved_;
    LegendRow* legendFree_;
    QWidget* locationPill_;
    StyledButton* parentButton_;
    StyledButton* startButton_;
    StyledButton* cancelButton_;

    QWidget* setupCard_;
    // Scanning card.
    QWidget* scanningCard_;
    HeroValue* scanningHero_;
    StatColumns* scanningStats_;
    BarSparkline* sparkline_;
    TextLabel* currentPath_;
    QString currentPathCopied_;  // the path as stored, for the clipboard

    // Results.
    QWidget* results_;
    StatTile* totalTile_;
    TextLabel* durationText_;
    StatTile* filesTile_;
    QWidget* skippedRow_;
    Pill* skippedPill_;
    StatTile* foldersTile_;
    StatTile* largestTile_;
    QWidget* largestFooter_;
    Pill* largestPill_;
    std::optional<StorageBucket> largestBucket_;
    StorageMapCard* mapCard_;
    FolderInspector* inspector_;
    QLineEdit* filterEdit_;
    QWidget* clearFilter_;
    RankedList* folderList_;
    NoFoldersState* noFolders_;
    std::vector<RankedRow*> folderRowPool_;  // reused; only the first `shownFolderRows_` are shown
    std::vector<StorageBucket> rowBuckets_;
    std::size_t shownFolderRows_ = 0;
    QWidget* moreFolderRows_;  // the rows after the first ten
    RevealBox* moreFolders_;  // eases them in and out when all rows are shown or only the first again
    StyledButton* showAllButton_;
    QWidget* showAllHolder_;
    QWidget* largestFiles_;
    RankedList* largestFilesList_;
    std::vector<RankedRow*> fileRowPool_;
    std::vector<std::filesystem::path> rowFiles_;
    QPointer<QMessageBox> errorAlert_;
};
