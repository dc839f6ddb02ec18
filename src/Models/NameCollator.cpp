#include "Models/NameCollator.h"

#include "Models/AppLocalization.h"

QCollator nameCollator(bool numericMode, Qt::CaseSensitivity sensitivity) {
    QLocale locale = AppLocalization::activeLocale();
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English);
    QCollator collator(locale);
    collator.setNumericMode(numericMode);
    collator.setCaseSensitivity(sensitivity);
    return collator;
}
