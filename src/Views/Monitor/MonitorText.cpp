#include "Views/Monitor/MonitorText.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/TimeFormatting.h"

#include <QLocale>

#include <cmath>

namespace MonitorText {

QString text(const char* key) { return AppLocalization::string(QString::fromLatin1(key)); }

QString unknown() { return QString(QChar(0x2014)); }

QString known(bool measured, const QString& text) { return measured ? text : unknown(); }

QString bytes(std::uint64_t count) { return ByteFormatting::string(count); }

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

QString rate(std::uint64_t bytesPerSecond) { return bytes(bytesPerSecond) + QStringLiteral("/s"); }

QString wholePercent(double fraction) {
    const double percent = std::round(fraction * 100);  // halves away from zero
    if (!std::isfinite(percent)) return unknown();
    QLocale locale = AppLocalization::activeLocale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(static_cast<long long>(std::clamp(percent, -1e15, 1e15)));
}

QString percentSign() {
    // Without the direction mark that the locale keeps around it: the sign stands alone beside its figure.
    return AppLocalization::activeLocale().percent().remove(QChar(0x061C)).remove(QChar(0x200E)).remove(QChar(0x200F));
}

QString loadAverage(double load) { return AppLocalization::activeLocale().toString(load, 'f', 2); }

QString count(long long value) { return AppLocalization::activeLocale().toString(value); }

QString watts(std::optional<double> watts) {
    if (!watts) return unknown();
    return AppLocalization::activeLocale().toString(*watts, 'f', 1) + QStringLiteral(" W");
}

QString batteryStatus(const SystemMetrics& metrics, const BatteryDetail& battery) {
    if (metrics.isCharging) return AppLocalization::string("monitor.chargingShort");
    if (battery.isExternalPower) return AppLocalization::string("monitor.pluggedIn");
    return AppLocalization::string("monitor.onBatteryShort");
}

QString remaining(std::optional<int> minutes) {
    if (!minutes) return unknown();
    const QString text = TimeFormatting::abbreviatedDuration(double(*minutes) * 60, false, 2, AppLocalization::activeLocale());
    return text.isEmpty() ? unknown() : text;
}

QString uptime(std::optional<double> seconds) {
    if (!seconds) return unknown();
    const QString text = TimeFormatting::abbreviatedDuration(*seconds, true, 2, AppLocalization::activeLocale());
    return text.isEmpty() ? unknown() : text;
}

QString processes(int count) { return AppLocalization::format("monitor.processCount", {count}); }

}  // namespace MonitorText
