#pragma once

#include "Models/CleanupCandidate.h"
#include "Models/TrashFigureTexts.h"

#include <QString>

#include <cstdint>

// Texts the tool screens share.
namespace ToolTexts {

// The byte text of a count, a negative count shown as zero.
QString bytes(std::int64_t count);
using TrashFigureTexts::freedBytes;
// The one-line summary of a selection: "<size> selected · <recoverable>".
QString selectionDetail(std::int64_t bytes, bool upTo = false);
// A cleanup row's line: why it is to be reviewed, else what kind of item it is.
QString cleanupDetail(const CleanupCandidate& candidate);
// A cleanup row's size: what could be measured, and how many folders could not be read.
QString cleanupSize(const CleanupCandidate& candidate);

}  // namespace ToolTexts
