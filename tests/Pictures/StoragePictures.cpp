#include "Pictures/PictureRegistry.h"

#include "Services/AppState.h"
#include "Views/Common/FileActions.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/Storage/StorageMapCard.h"
#include "Views/Storage/StorageView.h"
#include "ViewSupport/ScanFixture.h"

#include <QCoreApplication>
#include <QTest>

static const PictureRegistration storage("storage", [](PictureContext& pictures) {
    const DiskCapacityService::Capacity capacity{512'000'000'000, 180'000'000'000};
    // The pictures ask for no file manager.
    FileActions::setDesktop({[](const QUrl&) { return true; }, [](const std::filesystem::path&, std::function<void(bool)> done) { done(false); }});
    ScanFixture tree;
    AppState state(tree.services());
    state.setScanRoot(tree.root());
    auto screen = [&] { return std::make_unique<StorageView>(state, DS::amber, [&] { return capacity; }); };
    pictures.render("storage-setup", QSize(1240, 1500), screen);

    *tree.holdScans = true;
    state.startScan();
    pictures.render("storage-scanning", QSize(1240, 900), [&] {
        auto view = screen();
        for (int i = 0; i < 20; ++i) view->sampleThroughput();
        return view;
    });
    *tree.holdScans = false;
    if (!QTest::qWaitFor([&] { return !state.isScanning(); }, 10000)) {
        qWarning("storage: the fixture scan did not end");
        return;
    }

    for (StorageMapMode mode : allCases<StorageMapMode>()) {
        pictures.render("storage-results-" + rawText(mode), QSize(1240, 2100), [&] {
            auto view = screen();
            view->mapCard()->setMode(mode);
            return view;
        });
    }
    // An ext4 volume with 25 GB kept for root.
    const DiskCapacityService::Capacity reserving{512'000'000'000, 180'000'000'000, 205'000'000'000};
    pictures.render("storage-results-reserved", QSize(1320, 880), [&] { return std::make_unique<StorageView>(state, DS::amber, [&] { return reserving; }); });
    pictures.render("storage-results-selected", QSize(1240, 2100), [&] {
        auto view = screen();
        view->selection().setID(state.scanSnapshot()->buckets[1].path);
        return view;
    });

    // A folder selected, then focused: its own folders are shown whole, nothing selected.
    auto scanned = [&](const std::filesystem::path& root) {
        state.setScanRoot(root);
        state.startScan();
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 10000);
    };
    auto drilled = [&] {
        scanned(tree.root());
        auto view = screen();
        view->selection().setID(state.scanSnapshot()->buckets[0].path);
        view->focus(state.scanSnapshot()->buckets[0]);
        if (!QTest::qWaitFor([&] { return !state.isScanning(); }, 10000)) qWarning("storage: the drill-down scan did not end");
        return view;
    };
    pictures.render("storage-results-drilled", QSize(1320, 880), drilled);
    pictures.render("storage-results-drilled-full", QSize(1320, 880), drilled, {.fullLength = true, .inspect = {}});

    // A scan that failed while another section was shown, told on coming back.
    pictures.render("storage-error", QSize(1320, 880), [&] {
        scanned(tree.root() / "Gone");
        auto view = screen();
        drawAlertInto(view.get());
        return view;
    });
    state.clearScanError();

    // A folder with nothing in it: the folder list says so, not that a filter matched nothing.
    std::filesystem::create_directory(tree.root() / "Empty");
    state.setScanRoot(tree.root() / "Empty");
    state.startScan();
    if (QTest::qWaitFor([&] { return !state.isScanning(); }, 10000))
        pictures.render("storage-results-emptyscan", QSize(1240, 1500), [&] {
            auto view = screen();
            view->mapCard()->setMode(StorageMapMode::folders);
            return view;
        });
    FileActions::setDesktop({});
});
