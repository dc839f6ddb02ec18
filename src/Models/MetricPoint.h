#pragma once

#include "Foundation/Instant.h"
#include "Foundation/Uuid.h"

// One point of a monitor history; points are told apart only by their id.
struct MetricPoint {
    Uuid id = Uuid::random();
    Instant date;
    double value = 0;  // unit of the history holding it
};
