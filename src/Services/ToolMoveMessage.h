#pragma once

#include "Models/TrashFigures.h"
#include "Services/TrashResult.h"

#include <QString>

// What a tool's move to the Trash did, in one message: how many items went, what they take in the
// Trash and what emptying it frees (`moved`, the figures of the items that went), then the items
// left because they changed since they were listed, then those the Trash refused with the reason, a
// few of each named and the rest counted.
QString toolMoveMessage(const TrashResult& result, const TrashFigures& moved);
