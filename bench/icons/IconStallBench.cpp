// How long the main thread is held while application rows get icons that are costly to decode:
// quarnell-icons-bench ICON [ROWS]. Builds ROWS uninstaller rows (default 40), each naming its own copy
// of ICON, then reports how long building them took, the largest lateness of a 5 ms timer until every
// icon is ready, and when the last one was. For comparison it also times decoding ICON once on the
// main thread, which is what each row cost the window when icons were decoded there.
#include "Models/InstalledApplication.h"
#include "Views/Common/AppIcons.h"
#include "Views/Common/IconFile.h"
#include "Views/Common/IconTheme.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Uninstaller/AppListRow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quarnell-icons-bench ICON [ROWS]\n");
        return 2;
    }
    QApplication app(argc, argv);
    IconTheme::prepare();
    const std::filesystem::path icon = std::filesystem::absolute(argv[1]);
    const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 40;
    QTemporaryDir copies;
    std::vector<std::string> names;
    for (int row = 0; row < rows; ++row) {
        const std::filesystem::path copy = std::filesystem::path(copies.path().toStdString()) / ("icon" + std::to_string(row) + icon.extension().string());
        std::filesystem::copy_file(icon, copy);
        names.push_back(copy.string());
    }

    QElapsedTimer clock;
    clock.start();
    const bool decodes = !IconFile::decode({icon}).empty();
    const double decodeMs = clock.nsecsElapsed() / 1e6;

    clock.restart();
    std::vector<std::unique_ptr<AppListRow>> built;
    for (const std::string& name : names) {
        InstalledApplication application;
        application.name = QStringLiteral("Heavy");
        application.iconName = name;
        built.push_back(std::make_unique<AppListRow>(application, false, DynamicColor::primary()));
    }
    const double buildMs = clock.nsecsElapsed() / 1e6;

    double latestTickMs = 0, worstLatenessMs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        if (latestTickMs > 0) worstLatenessMs = std::max(worstLatenessMs, now - latestTickMs - 5);
        latestTickMs = now;
        if (AppIcons::shared().isIdle()) app.quit();
    });
    ticker.start(5);
    app.exec();
    std::printf("{\"icon\": \"%s\", \"bytes\": %lld, \"rows\": %d, \"decodes\": %s, \"decodeOnceMs\": %.1f, \"buildRowsMs\": %.1f, "
                "\"worstMainThreadLatenessMs\": %.1f, \"allIconsReadyMs\": %.1f}\n",
                icon.filename().c_str(), static_cast<long long>(std::filesystem::file_size(icon)), rows, decodes ? "true" : "false", decodeMs,
                buildMs, worstLatenessMs, latestTickMs);
}
