#include "Models/TimeFormatting.h"

#include "Models/IcuText.h"

#include <unicode/datefmt.h>
#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/reldatefmt.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace TimeFormatting {
namespace {

// Dates and durations in the locale's own words; the C locale writes as American English does.
icu::Locale timeLocale(const QLocale& locale) {
    const QString name = locale.language() == QLocale::C ? QStringLiteral("en_US") : locale.name();
    return icu::Locale(name.toUtf8().constData());
}

}  // namespace

QString relative(Instant date, Instant now, const QLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    icu::RelativeDateTimeFormatter formatter(timeLocale(locale), nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_FOR_STANDALONE, status);
    if (U_FAILURE(status)) return {};
    const double offset = date.secondsSince(now);  // negative in the past
    const double magnitude = std::abs(offset);
    struct Step {
        double seconds;
        URelativeDateTimeUnit unit;
    };
    static const Step steps[] = {{365 * 86400.0, UDAT_REL_UNIT_YEAR}, {30 * 86400.0, UDAT_REL_UNIT_MONTH}, {7 * 86400.0, UDAT_REL_UNIT_WEEK},
                                 {86400.0, UDAT_REL_UNIT_DAY},         {3600.0, UDAT_REL_UNIT_HOUR},       {60.0, UDAT_REL_UNIT_MINUTE}};
    double amount = std::trunc(offset);
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    for (const Step& step : steps) {
        if (magnitude >= step.seconds) {
            amount = std::trunc(offset / step.seconds);
            unit = step.unit;
            break;
        }
    }
    icu::UnicodeString text;
    formatter.format(amount, unit, text, status);
    return U_FAILURE(status) ? QString() : fromIcu(text);
}

QString minutesAndSeconds(double seconds, const QLocale& locale) {
    const long long whole = std::isfinite(seconds) && seconds > 0 ? (long long)std::llround(std::floor(seconds)) : 0;
    const long long minutes = whole / 60, rest = whole % 60;
    UErrorCode status = U_ZERO_ERROR;
    icu::MeasureFormat formatter(timeLocale(locale), UMEASFMT_WIDTH_SHORT, status);
    if (U_FAILURE(status)) return {};
    std::vector<icu::Measure> measures;
    if (minutes > 0) measures.emplace_back(icu::Formattable(int64_t(minutes)), icu::MeasureUnit::createMinute(status), status);
    if (rest > 0 || minutes == 0) measures.emplace_back(icu::Formattable(int64_t(rest)), icu::MeasureUnit::createSecond(status), status);
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter.formatMeasures(measures.data(), int32_t(measures.size()), text, position, status);
    return U_FAILURE(status) ? QString() : fromIcu(text);
}

QString singleUnit(double seconds, const QLocale& locale) {
    const double whole = std::isfinite(seconds) && seconds > 0 ? std::min(seconds, 1e15) : 0;
    UErrorCode status = U_ZERO_ERROR;
    icu::MeasureFormat formatter(timeLocale(locale), UMEASFMT_WIDTH_WIDE, status);
    if (U_FAILURE(status)) return {};
    icu::MeasureUnit* unit = nullptr;
    double amount = 0;
    if (whole >= 86400) {
        unit = icu::MeasureUnit::createDay(status);
        amount = std::floor(whole / 86400);
    } else if (whole >= 3600) {
        unit = icu::MeasureUnit::createHour(status);
        amount = std::floor(whole / 3600);
    } else {
        unit = icu::MeasureUnit::createMinute(status);
        amount = std::floor(whole / 60);
    }
    icu::Measure measure(icu::Formattable(int64_t(amount)), unit, status);
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter.formatMeasures(&measure, 1, text, position, status);
    return U_FAILURE(status) ? QString() : fromIcu(text);
}

QString abbreviatedDuration(double seconds, bool withDays, int maximumUnits, const QLocale& locale) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e15) return {};
    long long rest = static_cast<long long>(seconds) / 60;  // whole minutes
    struct Part {
        long long amount;
        icu::MeasureUnit* (*unit)(UErrorCode&);
    };
    std::vector<Part> parts;
    if (withDays) {
        parts.push_back({rest / 1440, &icu::MeasureUnit::createDay});
        rest %= 1440;
    }
    parts.push_back({rest / 60, &icu::MeasureUnit::createHour});
    parts.push_back({rest % 60, &icu::MeasureUnit::createMinute});

    UErrorCode status = U_ZERO_ERROR;
    icu::MeasureFormat formatter(timeLocale(locale), UMEASFMT_WIDTH_NARROW, status);
    if (U_FAILURE(status)) return {};
    std::vector<icu::Measure> measures;
    size_t first = 0;
    while (first + 1 < parts.size() && parts[first].amount == 0) ++first;
    for (size_t index = first; index < parts.size() && int(measures.size()) < maximumUnits; ++index) {
        // Inner zero units are left out, but a duration of nothing still reads "0m".
        if (parts[index].amount == 0 && index != first) continue;
        measures.emplace_back(icu::Formattable(int64_t(parts[index].amount)), parts[index].unit(status), status);
    }
    if (U_FAILURE(status) || measures.empty()) return {};
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatter.formatMeasures(measures.data(), int32_t(measures.size()), text, position, status);
    return U_FAILURE(status) ? QString() : fromIcu(text);
}

QString dayMonthYear(Instant date, const QLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateFormat> formatter(icu::DateFormat::createInstanceForSkeleton(u"dMMMy", timeLocale(locale), status));
    if (U_FAILURE(status) || !formatter) return {};
    icu::UnicodeString text;
    formatter->format(date.unixSeconds() * 1000.0, text);
    return fromIcu(text);
}

}  // namespace TimeFormatting
