#pragma once

#include "Foundation/Instant.h"

#include <QLocale>
#include <QString>

// Times as people read them, in a given locale (the screens pass the chosen language's).
namespace TimeFormatting {

// "yesterday", "2 hours ago", "in 3 days": the largest fitting unit, named where the language has a word.
QString relative(Instant date, Instant now, const QLocale& locale);

// Minutes and seconds with short unit names, zero units left out, no fraction: "2 min, 5 sec".
QString minutesAndSeconds(double seconds, const QLocale& locale);

// A duration in the one largest unit among days, hours and minutes, spelled out ("2 hours"),
// rounded down; under a minute counts as minutes.
QString singleUnit(double seconds, const QLocale& locale);

// A duration in whole units with abbreviated names ("2h 15m", "3d 4h"): days (when `withDays`),
// hours and minutes, the largest first, zero units left out, at most `maximumUnits` of them, the
// rest dropped. Empty when the seconds are not a finite count of at least zero.
QString abbreviatedDuration(double seconds, bool withDays, int maximumUnits, const QLocale& locale);

// The day, the abbreviated month and the year ("5 Dec 2026", "Dec 5, 2026"), in the order the locale
// writes them, in the system's time zone.
QString dayMonthYear(Instant date, const QLocale& locale);

}  // namespace TimeFormatting
