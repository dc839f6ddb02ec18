#pragma once

#include "Models/TrashFigures.h"

#include <QString>

#include <cstdint>

// The texts of what a move to the Trash moves and frees, for the question before it and the message
// after it, on every tool screen.
namespace TrashFigureTexts {

// What a move frees: "up to <size>" where compressed files may free less. Nothing is never "up to".
QString freedBytes(std::int64_t count, bool upTo);
// Before a move: what goes to the Trash, where the items can be restored, and what emptying it frees.
QString question(const TrashFigures& figures);
// After a move: what went to the Trash and what emptying it frees; the count is said apart.
QString moved(const TrashFigures& figures);

}  // namespace TrashFigureTexts
