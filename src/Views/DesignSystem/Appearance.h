#pragma once

#include "Platform/DesktopColorScheme.h"

#include <QObject>
#include <QPalette>

#include <atomic>

// The look in force. "appAppearance" set to "light" or "dark" forces it; "system" (and any other
// stored text) follows the desktop's colour-scheme preference, and where the desktop states none,
// the lightness of the palette the application started with.
class Appearance : public QObject {
    Q_OBJECT
public:
    static Appearance& shared();

    // Sets the Fusion style, the interface font and the palette of the look in force on the
    // application, and keeps them current. Call once, after the QApplication exists.
    void install();

    bool isDark() const { return dark_.load(std::memory_order_relaxed); }

    // The rule above, for one stored choice, desktop preference and start-up palette.
    static bool resolvesDark(const QString& storedChoice, DesktopColorScheme::Preference desktop, bool startupPaletteIsDark);

    // The Fusion palette of one look, built from the design colours.
    static QPalette palette(bool dark);

signals:
    // After the look switched and every widget was asked to repaint.
    void changed();

private:
    Appearance();
    void refresh();

    std::atomic<bool> dark_{false};
    bool startupPaletteIsDark_ = false;
    bool installed_ = false;
};
