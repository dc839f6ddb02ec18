#include "Pictures/PictureRegistry.h"

#include "Services/AppState.h"
#include "Services/StorageHistoryService.h"
#include "Views/Overview/OverviewView.h"
#include "ViewSupport/ScanFixture.h"

#include <QTest>

static const PictureRegistration overview("overview", [](PictureContext& pictures) {
    const DiskCapacityService::Capacity capacity{512'000'000'000, 180'000'000'000};
    ScanFixture tree;
    AppState state(tree.services());
    state.setScanRoot(tree.root());
    pictures.render("overview-noscan", QSize(1320, 880), [&] { return std::make_unique<OverviewView>(state, [&] { return capacity; }); });
    state.startScan();
    if (!QTest::qWaitFor([&] { return !state.isScanning(); }, 10000)) {
        qWarning("overview: the fixture scan did not end");
        return;
    }
    pictures.render("overview-scanned", QSize(1320, 1000), [&] { return std::make_unique<OverviewView>(state, [&] { return capacity; }); });
    // An ext4 volume with 25 GB kept for root.
    const DiskCapacityService::Capacity reserving{512'000'000'000, 180'000'000'000, 205'000'000'000};
    pictures.render("overview-reserved", QSize(1320, 880), [&] { return std::make_unique<OverviewView>(state, [&] { return reserving; }); });

    // A relaunch: nothing scanned yet in this launch; the stored scans do not date the last scan.
    AppServices relaunched = tree.services();
    relaunched.storageHistory = std::make_unique<StorageHistoryService>();
    relaunched.storageHistory->record(*state.scanSnapshot());
    AppState later(std::move(relaunched));
    later.setScanRoot(tree.root());
    pictures.render("overview-relaunched", QSize(1320, 1000), [&] { return std::make_unique<OverviewView>(later, [&] { return capacity; }); });
});
