#include "Views/DesignSystem/Appearance.h"

#include "Models/AppAppearance.h"
#include "Services/Preferences.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

Appearance& Appearance::shared() {
    static Appearance* appearance = new Appearance();  // lives for the process
    return *appearance;
}

Appearance::Appearance() {
    // Taken before install() replaces it: the desktop theme's own palette.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        startupPaletteIsDark_ = QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    Preferences::watch(Preferences::Key::appAppearance, this, [this] { refresh(); });
    connect(&DesktopColorScheme::shared(), &DesktopColorScheme::changed, this, &Appearance::refresh);
    dark_ = resolvesDark(Preferences::text(Preferences::Key::appAppearance), DesktopColorScheme::shared().preference(),
                         startupPaletteIsDark_);
}

bool Appearance::resolvesDark(const QString& storedChoice, DesktopColorScheme::Preference desktop, bool startupPaletteIsDark) {
    switch (fromRawText<AppAppearance>(storedChoice).value_or(AppAppearance::system)) {
    case AppAppearance::dark: return true;
    case AppAppearance::light: return false;
    case AppAppearance::system: break;
    }
    switch (desktop) {
    case DesktopColorScheme::Preference::dark: return true;
    case DesktopColorScheme::Preference::light: return false;
    case DesktopColorScheme::Preference::none: break;
    }
    return startupPaletteIsDark;
}

void Appearance::install() {
    installed_ = true;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(Fonts::system(13));
    QApplication::setPalette(palette(isDark()));
}

void Appearance::refresh() {
    const bool dark = resolvesDark(Preferences::text(Preferences::Key::appAppearance), DesktopColorScheme::shared().preference(),
                                   startupPaletteIsDark_);
    if (dark == isDark()) return;
    dark_ = dark;
    if (installed_) QApplication::setPalette(palette(dark));
    // Painted components resolve their colours while painting, so a repaint is all they need.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        for (QWidget* widget : QApplication::allWidgets()) widget->update();
    emit changed();
}

QPalette Appearance::palette(bool dark) {
    auto color = [dark](const DynamicColor& token, double opacity = 1) { return token.resolved(dark, opacity); };
    // Opaque stand-ins for the translucent text colours, so Fusion's derived shades stay clean.
    auto flatten = [&](const DynamicColor& ink) {
        QColor over = color(DS::card), top = color(ink);
        const double a = top.alphaF();
        return QColor::fromRgbF(float(top.redF() * a + over.redF() * (1 - a)), float(top.greenF() * a + over.greenF() * (1 - a)),
                                float(top.blueF() * a + over.blueF() * (1 - a)));
    };
    const QColor text = flatten(DynamicColor::primary());
    const QColor secondaryText = flatten(DynamicColor::secondary());
    const QColor disabledText = flatten(DynamicColor::tertiary());
    const QColor button = dark ? QColor(0x2C, 0x2C, 0x31) : QColor(0xFF, 0xFF, 0xFF);

    QPalette p;
    p.setColor(QPalette::Window, color(DS::canvas));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, color(DS::card));
    p.setColor(QPalette::AlternateBase, color(DS::raised));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::PlaceholderText, secondaryText);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(Qt::white));
    p.setColor(QPalette::Light, dark ? button.lighter(130) : QColor(Qt::white));
    p.setColor(QPalette::Midlight, dark ? button.lighter(115) : QColor(0xE6, 0xE6, 0xEA));
    p.setColor(QPalette::Mid, dark ? QColor(0x3A, 0x3A, 0x40) : QColor(0xC8, 0xC8, 0xCE));
    p.setColor(QPalette::Dark, dark ? QColor(0x10, 0x10, 0x12) : QColor(0xA0, 0xA0, 0xA8));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0, dark ? 160 : 60));
    p.setColor(QPalette::Highlight, color(DS::teal));
    p.setColor(QPalette::HighlightedText, QColor(Qt::white));
    p.setColor(QPalette::Link, color(DS::blue));
    p.setColor(QPalette::LinkVisited, color(DS::purple));
    p.setColor(QPalette::ToolTipBase, color(DS::card));
    p.setColor(QPalette::ToolTipText, text);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, color(DS::gray));
    return p;
}
