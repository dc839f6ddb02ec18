#pragma once

#include "Models/AppLocalization.h"

#include <QLocale>
#include <QString>

// Shares shown as percentages in the chosen language's format, halves rounded to even, never
// clamped: 0.125 gives "12%", 1.25 gives "125%".
namespace Fmt {

QString percent(double fraction, const QLocale& locale = AppLocalization::activeLocale());  // no fraction digits
QString finePercent(double fraction, const QLocale& locale = AppLocalization::activeLocale());  // exactly one

}  // namespace Fmt
