#pragma once

#include <cstdint>

class QWidget;

// The accessory of a tool row whose move frees less than the row's size: a note with both figures
// ("Frees 9.4 MB of 146.8 MB"), or, for a file that keeps another name, that moving it frees
// nothing; beside the row's own accessory, which may be none. The accessory alone where the move
// frees all of it.
// The note a list shows once, beside its totals, while it holds compressed files: they free less
// than their size says. Hidden until then.
QWidget* compressedFilesNote();

QWidget* withFreedNote(QWidget* accessory, std::int64_t freed, std::int64_t size, bool keepsOtherName = false);
