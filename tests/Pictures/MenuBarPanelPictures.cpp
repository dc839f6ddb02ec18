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

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The four label styles as a tray without colours of its own shows them (the app's look sets the ink,
// an outline of the other ink rings it), on a light and a dark tray: each 22 points at 2x enlarged
// four times, and at its own size at 16, 22 and 24 points along the strip's bottom.
std::unique_ptr<QWidget> glyphSheet(const MenuBarGlyph::Reading& reading) {
    auto sheet = std::make_unique<QWidget>();
    sheet->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(sheet.get());
    const TrayPanelColors::Inks inks =
        TrayPanelColors::withOutline(std::nullopt, TrayPanelColors::choose(std::nullopt, {}, "", Appearance::shared().isDark()));
    auto color = [](const TrayPanelColors::Ink& ink) { return QColor(ink.red, ink.green, ink.blue); };
    for (MenuBarItemStyle style : allCases<MenuBarItemStyle>()) {
        auto* row = new QHBoxLayout;
        for (const QColor& tray : {QColor(0xED, 0xED, 0xED), QColor(0x24, 0x24, 0x28)}) {
            QPixmap strip(200, 240);
            strip.fill(tray);
            QPainter painter(&strip);
            painter.drawImage(QRect(12, 12, 176, 176), MenuBarGlyph::image(style, reading, 22, 2, color(inks.ink), color(*inks.outline)));
            int x = 12;
            for (int side : {16, 22, 24}) {
                painter.drawImage(QPoint(x, 200), MenuBarGlyph::image(style, reading, side, 1, color(inks.ink), color(*inks.outline)));
                x += side + 12;
            }
            painter.end();
            auto* label = new QLabel;
            label->setPixmap(strip);
            row->addWidget(label);
        }
        column->addLayout(row);
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
                            container('c', "mailhog", "mailhog/mailhog", "exited", "Exited (0) 2 days ago", "") +
                            // An image name that would read "imglive" unmarked.
                            container('d', "api", R"(img\u202eevil)", "running", "Up 5 minutes", ""));
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
    pictures.render("menubar-label-styles", QSize(440, 1010), [&] { return glyphSheet(reading); });

    // A failed kill with a long daemon message, then a failed listing of 200 KB without a space.
    QString words;
    for (int i = 0; i < 6; ++i) words += "Error response from daemon: cannot kill container: permission denied. ";
    docker.answer("kill", "", 1, words.toStdString());
    pictures.render("menubar-panel-docker-failure", QSize(360, 900), [&] {
        auto widget = panel("docker", roomy);
        widget->docker()->perform(DockerAction::kill, widget->docker()->containers().front());
        if (!QTest::qWaitFor([&] { return widget->docker()->busyIDs().isEmpty(); }, 10000)) qWarning("menubar: the fake kill did not end");
        return widget;
    });
    docker.answer("ps", "", 1, std::string(200'000, 'x'));
    pictures.render("menubar-panel-docker-unavailable", QSize(360, 760), [&] { return panel("docker", roomy); });
    // The server outlived its Stop: its row stays and says so.
    monitor.stop(monitor.projects());
    machine.step(6);
    pictures.render("menubar-panel-projects-still-running", QSize(360, 760), [&] { return panel("projects", roomy); });
    SettingsStore::shared().remove("menuBarTab");
});
