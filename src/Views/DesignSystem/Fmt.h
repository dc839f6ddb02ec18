#pragma once

#include <QLocale>
#include <QString>

// Shares shown as percentages in the system's regional format (not the language chosen inside the
// application), halves rounded to even, never clamped: 0.125 gives "12%", 1.25 gives "125%".
namespace Fmt {

QString percent(double fraction, const QLocale& locale = QLocale::system());      // no fraction digits
QString finePercent(double fraction, const QLocale& locale = QLocale::system());  // exactly one

}  // namespace Fmt
