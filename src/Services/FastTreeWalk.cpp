#include "Services/FastTreeWalk.h"

#include <algorithm>

int FastTreeWalk::workerCount(int activeProcessors) { return std::clamp(activeProcessors, 2, 16); }

bool FastTreeWalk::neverSkip(std::string_view) { return false; }
