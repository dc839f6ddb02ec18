#pragma once

#include "Models/SystemMetrics.h"
#include "Models/BatteryDetail.h"

#include <QString>

#include <cstdint>
#include <optional>

// The texts the monitor screen builds from its figures. Byte counts go through the app's one byte
// format; plain numbers follow the chosen language's format; an unknown figure is "—".
namespace MonitorText {

QString text(const char* key);  // the key's text in the chosen language
QString unknown();  // "—"
QString known(bool measured, const QString& text);  // the text, or "—" when not measured
QString bytes(std::uint64_t bytes);  // capped at the largest signed count
QString bytes(std::int64_t bytes);   // below zero reads as zero
QString rate(std::uint64_t bytesPerSecond);  // "<bytes>/s"
// A fraction as a whole percent figure without the sign: halves away from zero, no grouping
// (0.125 gives "13").
QString wholePercent(double fraction);
// The percent sign that goes beside it, as the chosen language writes it ("%", "٪").
QString percentSign();
QString loadAverage(double load);  // exactly two fraction digits
QString count(long long value);    // whole number with the language's grouping
// The power draw: one fraction digit and " W"; unknown without a reading.
QString watts(std::optional<double> watts);
// Charging (on external power, also full), plugged in (the detail says so before the sample
// does) or on battery.
QString batteryStatus(const SystemMetrics& metrics, const BatteryDetail& battery);
QString remaining(std::optional<int> minutes);  // "2h 15m"; unknown without an estimate
QString uptime(std::optional<double> seconds);   // "3d 4h"; unknown when unreadable
QString processes(int count);  // "3 processes"

}  // namespace MonitorText
