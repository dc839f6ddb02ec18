#include "Pictures/PictureRegistry.h"

#include "App/MenuBarPanel/MenuBarGlyph.h"
#include "App/MenuBarPanel/MenuBarPanel.h"
#include "Platform/SettingsStore.h"
#include "Platform/TrayPanelColors.h"
#include "Services/AppState.h"
#include "Support/FakeDocker.h"
#include "Services/DockerPanelModel.h"
#include "ViewSupport/MonitorFixture.h"
#include "Views/DesignSystem/Appearance.h"

#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The four label styles at tray size (22 points at 2x), each enlarged eight times on a tray-like strip.
std::unique_ptr<QWidget> glyphSheet(const MenuBarGlyph::Reading& reading) {
    auto sheet = std::make_unique<QWidget>();
    sheet->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(sheet.get());
    for (MenuBarItemStyle style : allCases<MenuBarItemStyle>()) {
        const bool dark = Appearance::shared().isDark();
        const TrayPanelColors::Ink ink = dark ? TrayPanelColors::lightInk : TrayPanelColors::darkInk;
        const QImage glyph = MenuBarGlyph::image(style, reading, 22, 2, QColor(ink.red, ink.green, ink.blue));
        QPixmap strip(200, 200);
        strip.fill(dark ? QColor(0x2B, 0x2B, 0x30) : QColor(0xE8, 0xE8, 0xEC));
        QPainter painter(&strip);
        painter.drawImage(QRect(12, 12, 176, 176), glyph);  // 44 device pixels shown 4 times larger
        painter.drawImage(QRect(2, 2, 22, 22), glyph);      // and at its own size in the corner
        painter.end();
        auto* label = new QLabel;
        label->setPixmap(strip);
        column->addWidget(label);
    }
    return sheet;
}

}  // namespace

static const PictureRegistration menuBarPanel("menubar", [](PictureContext& pictures) {
    MonitorFixture machine(true);
    // A developer server in a project folder, listening on a port.
    machine.machine.write("home/storefront/package.json", "{}");
    machine.machine.process({.pid = 700, .comm = "node", .exe = "/usr/bin/node", .cwd = (machine.machine.home() / "storefront").native(),
                             .utime = 10, .startTicks = 9, .rssPages = 60000, .socketInodes = {7001}});
    machine.machine.tcp({{5173, "0A", 7001}});
    machine.start();
    machine.step(30);
    AppState& state = machine.state();
    SystemMonitor& monitor = machine.monitor();

    FakeDocker docker;
    auto container = [](char digit, const std::string& name, const std::string& image, const std::string& runState, const std::string& status,
                        const std::string& ports) {
        return R"({"ID":")" + std::string(64, digit) + R"(","Names":")" + name + R"(","Image":")" + image + R"(","State":")" + runState +
               R"(","Status":")" + status + R"(","Ports":")" + ports + "\"}\n";
    };
    docker.answer("ps", container('a', "shop-db", "postgres:16", "running", "Up 3 hours", "0.0.0.0:5432->5432/tcp") +
                            container('b', "cache", "redis:7", "running", "Up 3 hours", "") +
                            container('c', "mailhog", "mailhog/mailhog", "exited", "Exited (0) 2 days ago", ""));
    docker.answer("stats", R"({"Name":"shop-db","CPUPerc":"1.25%","MemUsage":"84.2MiB / 15.5GiB"})" "\n");

    const DiskCapacityService::Capacity roomy{512'000'000'000, 180'000'000'000}, low{512'000'000'000, 12'000'000'000};
    auto panel = [&](const char* tab, DiskCapacityService::Capacity capacity) {
        SettingsStore::shared().setValue("menuBarTab", tab);
        MenuBarPanel::Options options;
        options.capacity = [capacity] { return capacity; };
        options.dockerInterval = std::chrono::hours(1);
        auto widget = std::make_unique<MenuBarPanel>(state, MenuBarPanel::Actions{}, options);
        widget->setWindowFlags(Qt::Widget);
        widget->refresh();
        if (QString(tab) == "docker") {
            widget->docker()->refresh();
            if (!QTest::qWaitFor([&] { return !widget->docker()->isLoading(); }, 10000)) qWarning("menubar: the fake Docker did not answer");
        }
        return widget;
    };
    for (const char* tab : {"overview", "cpu", "memory", "disk", "network", "battery", "projects", "docker"}) {
        const QString name = QStringLiteral("menubar-panel-") + tab;
        pictures.render(name, QSize(360, 760), [&] { return panel(tab, roomy); });
    }
    pictures.render("menubar-panel-lowspace", QSize(360, 760), [&] { return panel("overview", low); });

    MenuBarGlyph::Reading reading;
    reading.cpu = monitor.metrics().cpuUsage;
    reading.memory = MenuBarGlyph::memoryRatio(monitor.metrics());
    reading.spark = MenuBarGlyph::sparkValues(monitor.cpuHistory());
    pictures.render("menubar-label-styles", QSize(220, 840), [&] { return glyphSheet(reading); });
    SettingsStore::shared().remove("menuBarTab");
});
