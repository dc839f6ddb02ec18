#pragma once

#include "Models/MemoryPressure.h"
#include "Views/Monitor/DomainCard.h"

// The pill that shows the kernel's memory pressure: a check mark in green, or a warning triangle
// in amber or pink.
DomainCard::Badge memoryPressureBadge(MemoryPressure pressure);
