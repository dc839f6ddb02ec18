// quarnell-treemap-bench DIR [HOVERS]: scans DIR, shows its buckets in the blocks map (offscreen) and
// times hovers that move from tile to tile: the hover event and the synchronous paint it causes,
// first with the map's layout kept (as the map works), then with the layout made anew before each
// hover (the map resized by one point, back and forth). Also times the folder list's order by name of
// the same buckets (its first 200 rows). Prints one JSON line; times in microseconds unless named Ms.
#include "Models/ScanSnapshot.h"
#include "Services/DiskScanner.h"
#include "Views/Storage/BucketListing.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/Storage/StorageRankPalette.h"
#include "Views/Storage/TreemapLayout.h"
#include "Views/Storage/TreemapView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Median of the per-hover times, in microseconds.
double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

std::vector<double> timeHovers(TreemapView& view, int hovers, bool freshLayout) {
    std::vector<QPointF> centres;
    for (const auto& [tile, cell] : view.cells()) centres.push_back(cell.center());
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < hovers; ++i) {
        if (freshLayout) view.resize(view.width() + (i % 2 ? -1 : 1), view.height());
        const QPointF at = centres[std::size_t(i) % centres.size()];
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        clock.start();
        QApplication::sendEvent(&view, &move);
        view.repaint();
        times.push_back(double(clock.nsecsElapsed()) / 1000);
    }
    return times;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quarnell-treemap-bench DIR [HOVERS]\n");
        return 2;
    }
    const int hovers = argc > 2 ? std::max(1, std::stoi(argv[2])) : 2000;
    const ScanSnapshot snapshot = DiskScanner().scan(argv[1], true, nullptr);

    QElapsedTimer clock;
    clock.start();
    BucketListing::visibleBuckets(snapshot.buckets, {}, FolderSort::name, 200);
    const double nameSortMs = double(clock.nsecsElapsed()) / 1e6;
    clock.start();
    const std::vector<const StorageBucket*> visible = BucketListing::visibleBuckets(snapshot.buckets, {}, FolderSort::size);
    BucketSelection selection;
    TreemapView view(&selection, {});
    view.resize(1000, 520);
    view.setItems(visible, snapshot.totalSize, StorageRankPalette(snapshot.buckets));
    const double itemsMs = double(clock.nsecsElapsed()) / 1e6;
    view.show();
    QApplication::processEvents();

    const std::vector<double> kept = timeHovers(view, hovers, false);
    const std::vector<double> fresh = timeHovers(view, hovers, true);
    clock.start();
    const std::vector<StorageBucket> tiles = TreemapView::tiles(visible);
    for (int i = 0; i < hovers; ++i) TreemapLayout::rectangles(tiles, QRectF(0, 0, 1000, 520));
    const double layoutUs = double(clock.nsecsElapsed()) / 1000 / hovers;

    std::printf("{\"buckets\":%zu,\"tiles\":%zu,\"hovers\":%d,\"setItemsMs\":%.1f,\"hoverKeptLayoutUs\":%.1f,"
                "\"hoverFreshLayoutUs\":%.1f,\"layoutAloneUs\":%.2f,\"nameOrderMs\":%.1f}\n",
                snapshot.buckets.size(), tiles.size(), hovers, itemsMs, median(kept), median(fresh), layoutUs, nameSortMs);
    return 0;
}
