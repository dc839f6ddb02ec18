#pragma once

#include <QString>

// A byte text split for a large figure: "1.2 GB" gives "1.2" and "GB". No-break spaces count as
// spaces; a text without one is all value.
struct ValueAndUnit {
    QString value;
    QString unit;

    static ValueAndUnit split(QString text) {
        text.replace(QChar(0x00A0), QLatin1Char(' '));
        const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
        if (space < 0) return {text, {}};
        return {text.left(space), text.mid(space + 1)};
    }
};
