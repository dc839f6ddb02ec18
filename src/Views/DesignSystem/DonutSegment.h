#pragma once

#include "Foundation/Uuid.h"
#include "Views/DesignSystem/DynamicColor.h"

// One share of a DonutChart.
struct DonutSegment {
    double value = 0;
    DynamicColor color;
    Uuid id = Uuid::random();
};
