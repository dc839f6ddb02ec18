#pragma once

#include "Models/MemoryDetail.h"
#include "Views/DesignSystem/CardModifier.h"

#include <functional>
#include <vector>

class DonutChart;
class LegendRow;

// The machine's memory as a donut of application, wired, compressed, cached and free memory, with
// the share in use in the middle and a legend of the five.
class MemoryByTypeCard : public CardModifier {
    Q_OBJECT
public:
    explicit MemoryByTypeCard(std::function<void()> open, QWidget* parent = nullptr);

    // `known` false: the figures are placeholders, shown as unknown.
    void setMemory(const MemoryDetail& memory, std::uint64_t used, std::uint64_t total, bool known);

    DonutChart* donut() const { return donut_; }
    const std::vector<LegendRow*>& legend() const { return legend_; }

private:
    DonutChart* donut_;
    std::vector<LegendRow*> legend_;
};
