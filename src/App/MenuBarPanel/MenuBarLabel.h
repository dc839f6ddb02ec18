#pragma once

#include "App/MenuBarPanel/MenuBarGlyph.h"
#include "Platform/TrayPanelColors.h"

#include <QImage>
#include <QObject>
#include <QRect>

class QSystemTrayIcon;
class SystemMonitor;

// The tray item: the live processor and memory load in the style stored under "menuBarStyle",
// redrawn when the monitor publishes and at once when the style or the look changes, with both
// figures in its tooltip. Its glyphs take the ink that the tray's panel wants. Activating it asks for
// the panel at the icon.
class MenuBarLabel : public QObject {
    Q_OBJECT
public:
    explicit MenuBarLabel(SystemMonitor* monitor, QObject* parent = nullptr);
    ~MenuBarLabel() override;

    QSystemTrayIcon* trayIcon() const { return tray_; }
    MenuBarItemStyle style() const;
    MenuBarGlyph::Reading reading() const;
    QString toolTip() const;
    const QImage& image() const { return image_; }

    // The side of the tray's icon square in points, and the device pixel ratio it is drawn at.
    int iconSide() const;
    static qreal devicePixelRatio();

signals:
    // The icon was activated: its geometry as the tray tells it (empty when it tells none, and maybe
    // not yet in screen coordinates), and whether a mouse button of this application pressed it.
    void activated(const QRect& iconGeometry, bool clicked);

private:
    void refresh();

    SystemMonitor* monitor_;
    QSystemTrayIcon* tray_;
    TrayPanelColors panelColors_;
    QImage image_;
    QString shownToolTip_;
};
