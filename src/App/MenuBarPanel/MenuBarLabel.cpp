#include "App/MenuBarPanel/MenuBarLabel.h"

#include "Platform/DesktopColorScheme.h"
#include "Platform/SettingsStore.h"
#include "Services/SystemMonitor.h"
#include "Views/DesignSystem/Appearance.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

namespace {

// Qt's own connection to the X server; none on Wayland and offscreen.
xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

MenuBarLabel::MenuBarLabel(SystemMonitor* monitor, QObject* parent)
    : QObject(parent), monitor_(monitor), tray_(new QSystemTrayIcon(this)), panelColors_(x11Connection()) {
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::MiddleClick)
            emit activated(tray_->geometry(), QGuiApplication::mouseButtons() != Qt::NoButton);
    });
    // A sample is whole when it is published: its figures and its history point arrive together.
    if (monitor_) connect(monitor_, &SystemMonitor::metricsChanged, this, &MenuBarLabel::refresh);
    SettingsStore::shared().watch(QStringLiteral("menuBarStyle"), this, [this] { refresh(); });
    connect(&Appearance::shared(), &Appearance::changed, this, &MenuBarLabel::refresh);
    connect(&DesktopColorScheme::shared(), &DesktopColorScheme::changed, this, &MenuBarLabel::refresh);
    refresh();
    tray_->show();
    // Sampling runs from the moment the label shows, window or not.
    if (monitor_) monitor_->start();
}

MenuBarLabel::~MenuBarLabel() = default;

MenuBarItemStyle MenuBarLabel::style() const { return MenuBarGlyph::style(SettingsStore::shared().text(QStringLiteral("menuBarStyle"))); }

MenuBarGlyph::Reading MenuBarLabel::reading() const {
    MenuBarGlyph::Reading reading;
    if (!monitor_) return reading;
    if (monitor_->measured().cpu) reading.cpu = monitor_->metrics().cpuUsage;
    reading.memory = MenuBarGlyph::memoryRatio(monitor_->metrics());
    reading.spark = MenuBarGlyph::sparkValues(monitor_->cpuHistory());
    return reading;
}

QString MenuBarLabel::toolTip() const {
    const auto [cpu, memory] = MenuBarGlyph::stackedLines(reading().cpu, reading().memory);
    return QStringLiteral("Quarnell\n") + cpu + QLatin1Char('\n') + memory;
}

int MenuBarLabel::iconSide() const {
    const QRect geometry = tray_->geometry();
    return geometry.isValid() && geometry.height() > 0 ? std::min(geometry.width(), geometry.height()) : 22;
}

qreal MenuBarLabel::devicePixelRatio() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 2.0;
}

void MenuBarLabel::refresh() {
    // The panel's colours, not the app's look: a light app can sit in a dark panel.
    const TrayPanelColors::Inks inks = panelColors_.inks(Appearance::shared().isDark());
    auto color = [](const TrayPanelColors::Ink& ink) { return QColor(ink.red, ink.green, ink.blue); };
    QImage image = MenuBarGlyph::image(style(), reading(), iconSide(), devicePixelRatio(), color(inks.ink),
                                       inks.outline ? std::optional<QColor>(color(*inks.outline)) : std::nullopt);
    // Trays redraw on every new icon; an unchanged picture is not sent again.
    if (image != image_) {
        image_ = std::move(image);
        tray_->setIcon(QIcon(QPixmap::fromImage(image_)));
    }
    const QString tip = toolTip();
    if (tip != shownToolTip_) {
        shownToolTip_ = tip;
        tray_->setToolTip(tip);
    }
}
