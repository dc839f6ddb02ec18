#pragma once

#include <QCollator>

// A collator for names in lists, in the active language. The C locale would order by code point
// ("web10" before "web9"), so English stands in for it.
QCollator nameCollator(bool numericMode, Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive);
