#include "ViewSupport/WindowViews.h"

#include "ViewSupport/Settling.h"

#include "App/RootView.h"
#include "Services/AppState.h"
#include "Views/Monitor/MonitorContent.h"
#include "Views/Monitor/MonitorView.h"
#include "Views/Storage/StorageMapCard.h"
#include "Views/Storage/StorageView.h"
#include "Views/Storage/TreemapView.h"
#include "Views/Tools/ToolsView.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace WindowViews {

std::vector<View> all() {
    std::vector<View> views;
    for (AppSection section : {AppSection::overview, AppSection::search, AppSection::uninstaller, AppSection::settings})
        views.push_back({rawText(section), section, {}});
    for (StorageMapMode mode : allCases<StorageMapMode>())
        views.push_back({"storage-" + rawText(mode), AppSection::storage, [mode](RootView& root) {
                             if (auto* storage = qobject_cast<StorageView*>(root.screen())) storage->mapCard()->setMode(mode);
                         }});
    // The page scrolled to the map and the pointer on its largest block: the strip describing it is up.
    views.push_back({"storage-blocks-hover", AppSection::storage, [](RootView& root) {
                         auto* storage = qobject_cast<StorageView*>(root.screen());
                         if (!storage) return;
                         storage->mapCard()->setMode(StorageMapMode::blocks);
                         auto* map = storage->findChild<TreemapView*>();
                         if (!map || !QTest::qWaitFor([&] { return map->isVisible() && !map->cells().empty(); })) return;
                         if (auto* page = storage->findChild<QScrollArea*>()) page->ensureWidgetVisible(map, 0, 0);
                         QApplication::processEvents();
                         QTest::mouseMove(map, QPoint(1, 1));  // a move to where the pointer already is would be dropped
                         QTest::mouseMove(map, map->cells().front().second.center().toPoint());
                     }});
    views.push_back({"storage-showall", AppSection::storage, [](RootView& root) {
                         if (auto* storage = qobject_cast<StorageView*>(root.screen())) storage->setShowAllFolders(true);
                     }});
    for (MonitorTab tab : MonitorTabPresentation::allTabs)
        views.push_back({"monitor-" + MonitorTabPresentation::id(tab), AppSection::monitor, [tab](RootView& root) {
                             if (auto* monitor = qobject_cast<MonitorView*>(root.screen()); monitor && monitor->content())
                                 monitor->content()->setTab(tab);
                         }});
    for (ValueTool tool : allCases<ValueTool>())
        views.push_back({"tools-" + rawText(tool), AppSection::tools, [tool](RootView& root) {
                             if (auto* tools = qobject_cast<ToolsView*>(root.screen())) tools->selectTool(tool);
                         }});
    return views;
}

void show(RootView& root, const View& view) {
    root.resize(defaultWidth, defaultHeight);
    root.show();
    QApplication::processEvents();
    if (view.drive) view.drive(root);
    Settling::waitUntilStill(root);  // the fades between screens and pages end, the rows are built
}

int growToFullLength(QWidget& window, int limit) {
    for (int round = 0; round < 8; ++round) {
        QApplication::processEvents();
        int hidden = 0;
        for (const QScrollArea* area : window.findChildren<QScrollArea*>())
            if (area->isVisible()) hidden = std::max(hidden, area->verticalScrollBar()->maximum());
        if (hidden == 0 || window.height() >= limit) break;
        window.resize(window.width(), std::min(limit, window.height() + hidden));
    }
    return window.height();
}

}  // namespace WindowViews
