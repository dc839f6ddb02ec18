#pragma once

#include "Models/StorageBucket.h"
#include "Services/DiskCapacityService.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Storage/FolderSort.h"
#include "Views/Storage/ScanThroughputSampler.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class AppState;
struct ScanSnapshot;
class BarSparkline;
class BucketSelection;
class QLineEdit;
class QMessageBox;
class DashboardPage;
class QVBoxLayout;
class RankedList;
class RankedRow;
class StatColumns;
class StorageMapCard;
class HeroValue;
class TextLabel;

// The storage section: the start-up volume's capacity with the scan buttons, then the setup card,
// the running scan with its throughput, or the last scan's results: figures, maps with the folder
// inspector, the filtered folder list and the largest files.
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
    std::vector<RankedRow*> folderRows() const { return folderRows_; }
    StorageMapCard* mapCard() const { return mapCard_; }
    const ScanThroughputSampler& sampler() const { return sampler_; }
    QWidget* inspector() const { return inspector_; }
    // The throughput interval; tests shorten it.
    void setSampleInterval(int milliseconds) { sampleTimer_.setInterval(milliseconds); }

private:
    void rebuild();
    QWidget* makeHeroCard();
    QWidget* makeSetupCard();
    QWidget* makeScanningCard();
    QWidget* makeResults(const ScanSnapshot& snapshot);
    QWidget* makeFolderBreakdown();
    QWidget* makeLargestFiles(const ScanSnapshot& snapshot);
    void refreshFolders();
    void refreshInspector();
    void refreshScanningFigures();
    void scanningChanged();
    void sampleThroughput();
    void showScanError();
    std::vector<StorageBucket> visibleBuckets() const;

    AppState& state_;
    DynamicColor tint_;
    CapacitySource capacity_;
    BucketSelection* selection_;
    Body body_ = Body::setup;

    QString folderFilter_;
    FolderSort folderSort_ = FolderSort::size;
    bool showAllFolders_ = false;
    ScanThroughputSampler sampler_;
    QTimer sampleTimer_;
    QTimer pendingSelect_;  // a row's single click waits for a possible double click
    std::optional<std::string> pendingSelectID_;

    DashboardPage* scroll_;
    QVBoxLayout* page_ = nullptr;
    // Parts that change in place.
    HeroValue* scanningHero_ = nullptr;
    StatColumns* scanningStats_ = nullptr;
    BarSparkline* sparkline_ = nullptr;
    TextLabel* currentPath_ = nullptr;
    QLineEdit* filterEdit_ = nullptr;
    QWidget* clearFilter_ = nullptr;
    RankedList* folderList_ = nullptr;
    std::vector<RankedRow*> folderRows_;
    StorageMapCard* mapCard_ = nullptr;
    QWidget* inspectorCard_ = nullptr;
    QWidget* inspector_ = nullptr;
    QPointer<QMessageBox> errorAlert_;
};
