#pragma once

#include "Models/AppUsage.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DonutSegment.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <array>
#include <functional>
#include <vector>

class DonutChart;
class AppIconSlot;
class LegendRow;
class TextLabel;

// A donut of the four largest applications of one measure and the rest, with their legend, for
// the monitor's overview. The four take the tint at falling strengths by their place, so two
// applications that swap places swap colours; the rest is gray.
class BreakdownCard : public CardModifier {
    Q_OBJECT
public:
    static constexpr size_t topRows = 4;
    using Palette = std::array<DynamicColor, topRows>;

    BreakdownCard(const QString& title, const QString& symbol, const DynamicColor& tint, std::function<double(const AppUsage&)> metric,
                  std::function<QString(double)> format, QWidget* parent = nullptr);

    // The tint, then the tint at 75 %, 55 % and 38 %.
    static Palette palette(const DynamicColor& tint);
    // The ring: one segment per top row, then the rest (never below zero), always present.
    static std::vector<DonutSegment> segments(const std::vector<AppUsage>& apps, const std::function<double(const AppUsage&)>& metric,
                                              const Palette& palette);

    // `apps` ranked largest first; `center` the figure in the ring's middle.
    void setApps(const std::vector<AppUsage>& apps, const QString& center);

    std::vector<LegendRow*> visibleLegend() const;
    bool isGathering() const;

private:
    std::function<double(const AppUsage&)> metric_;
    std::function<QString(double)> format_;
    Palette palette_;
    DonutChart* donut_;
    TextLabel* gathering_;
    std::vector<LegendRow*> rows_;  // the top rows, then the rest
    std::vector<AppIconSlot*> iconSlots_;  // of the top rows
};
