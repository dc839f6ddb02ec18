#include "Views/DesignSystem/ReadableText.h"

#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/DS.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace ReadableText {
namespace {

double relativeLuminance(const QColor& c) {
    auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double worstContrast(const QColor& text, bool dark) {
    double worst = 21;
    for (const DynamicColor& surface : {DS::canvas, DS::card, DS::raised}) {
        const QColor background = surface.resolved(dark, 1);
        worst = std::min(worst, contrast(composited(text, background), background));
    }
    return worst;
}

QColor adjusted(const QColor& designed, bool dark) {
    const QColor target = dark ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step <= 100; ++step) {
        const double t = step / 100.0;
        QColor candidate = QColor::fromRgbF(float(designed.redF() + (target.redF() - designed.redF()) * t),
                                            float(designed.greenF() + (target.greenF() - designed.greenF()) * t),
                                            float(designed.blueF() + (target.blueF() - designed.blueF()) * t),
                                            float(designed.alphaF() + (1 - designed.alphaF()) * t));
        if (worstContrast(candidate, dark) >= minimumContrast) return candidate;
    }
    return target;
}

}  // namespace

double contrast(const QColor& text, const QColor& background) {
    const double a = relativeLuminance(text), b = relativeLuminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor composited(const QColor& text, const QColor& background) {
    const double a = text.alphaF();
    return QColor::fromRgbF(float(text.redF() * a + background.redF() * (1 - a)), float(text.greenF() * a + background.greenF() * (1 - a)),
                            float(text.blueF() * a + background.blueF() * (1 - a)));
}

QColor color(const DynamicColor& designed, bool dark) {
    const QColor resolved = designed.resolved(dark, 1);
    if (designed == DynamicColor::white()) return resolved;
    // Painting asks for a handful of colours over and over; each is worked out once per appearance.
    static QHash<QPair<QRgb, bool>, QColor> cache;
    const auto key = qMakePair(resolved.rgba(), dark);
    auto found = cache.constFind(key);
    if (found != cache.cend()) return *found;
    const QColor readable = worstContrast(resolved, dark) >= minimumContrast ? resolved : adjusted(resolved, dark);
    cache.insert(key, readable);
    return readable;
}

QColor color(const DynamicColor& designed) { return color(designed, Appearance::shared().isDark()); }

}  // namespace ReadableText
