#include "Pictures/PictureRegistry.h"

#include "Views/Monitor/MonitorContent.h"
#include "ViewSupport/MonitorFixture.h"

#include <QCoreApplication>

namespace {

std::unique_ptr<QWidget> content(SystemMonitor& monitor, MonitorTab tab) {
    auto widget = std::make_unique<MonitorContent>(monitor);
    widget->setTab(tab);
    widget->refresh();
    return widget;
}

}  // namespace

static const PictureRegistration monitorPictures("monitor", [](PictureContext& pictures) {
    {
        // Right after start: nothing measured twice yet.
        MonitorFixture machine;
        machine.start();
        pictures.render("monitor-overview-starting", QSize(1320, 1100), [&] { return content(machine.monitor(), MonitorTab::overview); });
        // A minute later on a desktop.
        machine.step(60);
        const std::pair<MonitorTab, const char*> tabs[] = {{MonitorTab::overview, "overview"}, {MonitorTab::cpu, "cpu"},
                                                           {MonitorTab::memory, "memory"},     {MonitorTab::disk, "disk"},
                                                           {MonitorTab::network, "network"},   {MonitorTab::battery, "battery-desktop"},
                                                           {MonitorTab::projects, "projects"}};
        for (const auto& [tab, name] : tabs)
            pictures.render(QStringLiteral("monitor-") + name, QSize(1320, 1100), [&] { return content(machine.monitor(), tab); });
    }
    MonitorFixture laptop(true);
    laptop.start();
    laptop.step(30);
    pictures.render("monitor-battery", QSize(1320, 800), [&] { return content(laptop.monitor(), MonitorTab::battery); });
    pictures.render("monitor-overview-laptop", QSize(1320, 1100), [&] { return content(laptop.monitor(), MonitorTab::overview); });
});
