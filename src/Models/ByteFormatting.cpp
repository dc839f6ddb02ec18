#include "Models/ByteFormatting.h"

#include "Models/AppLocalization.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace ByteFormatting {

QString string(std::int64_t bytes) {
    struct Unit {
        const char* name;
        long double size;
        int digits;
    };
    static constexpr std::array<Unit, 4> units{{{"KB", 1e3L, 0}, {"MB", 1e6L, 1}, {"GB", 1e9L, 2}, {"TB", 1e12L, 2}}};

    const long double value = static_cast<long double>(std::max<std::int64_t>(bytes, 0));
    size_t unit = 0;
    while (unit + 1 < units.size() && value >= units[unit + 1].size) ++unit;

    // Round half away from zero at the unit's precision; a value that rounds up to 1000 moves up a unit.
    auto scaledFor = [&](size_t index) {
        long double factor = std::pow(10.0L, units[index].digits);
        return std::llround(value / units[index].size * factor);
    };
    long long scaled = scaledFor(unit);
    if (unit + 1 < units.size() && scaled >= 1000LL * static_cast<long long>(std::pow(10, units[unit].digits))) {
        ++unit;
        scaled = scaledFor(unit);
    }
    int digits = units[unit].digits;
    while (digits > 0 && scaled % 10 == 0) {
        scaled /= 10;
        --digits;
    }
    const double number = static_cast<double>(scaled) / std::pow(10.0, digits);
    return AppLocalization::activeLocale().toString(number, 'f', digits) + QLatin1Char(' ') + QLatin1String(units[unit].name);
}

QString string(std::uint64_t bytes) {
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return string(static_cast<std::int64_t>(std::min(bytes, largest)));
}

}  // namespace ByteFormatting
