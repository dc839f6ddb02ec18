#pragma once

#include <QColor>

#include <cstdint>

// A colour with a light and a dark value, resolved at the moment of painting from the appearance
// in force (Appearance), so one value follows every switch between light and dark.
class DynamicColor {
public:
    // Both values 0xRRGGBB (sRGB), alphas fractions of 1.
    static constexpr DynamicColor dynamic(std::uint32_t light, std::uint32_t dark, double lightAlpha = 1, double darkAlpha = 1) {
        return DynamicColor(light, dark, lightAlpha, darkAlpha);
    }
    // One colour in both appearances.
    static constexpr DynamicColor fixed(std::uint32_t rgb, double alpha = 1) { return DynamicColor(rgb, rgb, alpha, alpha); }

    // The system's text colours and plain white: the "primary", "secondary" and "tertiary" styles.
    static constexpr DynamicColor primary() { return dynamic(0x000000, 0xFFFFFF, 0.85, 0.85); }
    static constexpr DynamicColor secondary() { return dynamic(0x000000, 0xFFFFFF, 0.50, 0.55); }
    static constexpr DynamicColor tertiary() { return dynamic(0x000000, 0xFFFFFF, 0.26, 0.25); }
    static constexpr DynamicColor white() { return fixed(0xFFFFFF); }
    static constexpr DynamicColor clear() { return fixed(0x000000, 0); }

    constexpr DynamicColor() = default;

    // The value for the appearance in force, its alpha multiplied by `opacity`.
    QColor resolved(double opacity = 1) const;
    QColor resolved(bool dark, double opacity) const;

    constexpr std::uint32_t light() const { return light_; }
    constexpr std::uint32_t dark() const { return dark_; }
    constexpr double lightAlpha() const { return lightAlpha_; }
    constexpr double darkAlpha() const { return darkAlpha_; }

    // The same colour with both alphas multiplied by `opacity`.
    constexpr DynamicColor withOpacity(double opacity) const { return DynamicColor(light_, dark_, lightAlpha_ * opacity, darkAlpha_ * opacity); }

    constexpr bool operator==(const DynamicColor&) const = default;

private:
    constexpr DynamicColor(std::uint32_t light, std::uint32_t dark, double lightAlpha, double darkAlpha)
        : light_(light), dark_(dark), lightAlpha_(lightAlpha), darkAlpha_(darkAlpha) {}

    std::uint32_t light_ = 0;
    std::uint32_t dark_ = 0;
    double lightAlpha_ = 1;
    double darkAlpha_ = 1;
};
