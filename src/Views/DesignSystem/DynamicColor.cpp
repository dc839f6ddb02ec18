#include "Views/DesignSystem/DynamicColor.h"

#include "Views/DesignSystem/Appearance.h"

#include <algorithm>

QColor DynamicColor::resolved(double opacity) const { return resolved(Appearance::shared().isDark(), opacity); }

QColor DynamicColor::resolved(bool dark, double opacity) const {
    const std::uint32_t rgb = dark ? dark_ : light_;
    const double alpha = (dark ? darkAlpha_ : lightAlpha_) * opacity;
    return QColor::fromRgbF(float(((rgb >> 16) & 0xFF) / 255.0), float(((rgb >> 8) & 0xFF) / 255.0), float((rgb & 0xFF) / 255.0),
                            float(std::clamp(alpha, 0.0, 1.0)));
}
