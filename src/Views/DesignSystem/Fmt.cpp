#include "Views/DesignSystem/Fmt.h"

#include <unicode/numberformatter.h>

#include <map>
#include <mutex>
#include <utility>

namespace Fmt {
namespace {

// ICU works on the shortest decimal text of the number and rounds halves to even, as the platform's
// format style does by default: 0.125 gives 12 %, 0.135 gives 14 %.
QString format(double fraction, int fractionDigits, const QLocale& locale) {
    static std::mutex mutex;
    static std::map<std::pair<QString, int>, icu::number::LocalizedNumberFormatter> formatters;
    // The C locale has no ICU counterpart of its own; it writes numbers as English does.
    const QString tag = locale.language() == QLocale::C ? QStringLiteral("en-US") : locale.bcp47Name();
    // Formatted through the kept formatter itself, never a copy: ICU makes a formatter fast only
    // after a few uses, and a copy starts counting afresh. Formatting is safe from any thread, and a
    // map's entries stay where they are.
    const icu::number::LocalizedNumberFormatter* formatter = nullptr;
    {
        std::lock_guard lock(mutex);
        auto found = formatters.find({tag, fractionDigits});
        if (found == formatters.end()) {
            UErrorCode status = U_ZERO_ERROR;
            icu::Locale icuLocale = icu::Locale::forLanguageTag(tag.toStdString(), status);
            if (U_FAILURE(status)) icuLocale = icu::Locale::getUS();
            auto made = icu::number::NumberFormatter::withLocale(icuLocale)
                            .unit(icu::MeasureUnit::getPercent())
                            .scale(icu::number::Scale::powerOfTen(2))
                            .precision(icu::number::Precision::fixedFraction(fractionDigits))
                            .roundingMode(UNUM_ROUND_HALFEVEN);
            found = formatters.emplace(std::make_pair(tag, fractionDigits), std::move(made)).first;
        }
        formatter = &found->second;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = formatter->formatDouble(fraction, status).toString(status);
    if (U_FAILURE(status)) return QString::number(fraction * 100, 'f', fractionDigits) + QLatin1Char('%');
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace

QString percent(double fraction, const QLocale& locale) { return format(fraction, 0, locale); }
QString finePercent(double fraction, const QLocale& locale) { return format(fraction, 1, locale); }

}  // namespace Fmt
