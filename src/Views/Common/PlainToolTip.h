#pragma once

#include <QString>

// Tool tips guess rich text from the text itself; a file named "<b>x" must still show as written.
// The result is marked rich text with the text escaped inside, so it always shows verbatim.
inline QString plainToolTip(const QString& text) {
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
