#pragma once

#include <QChar>
#include <QString>

// A value placed into running text (a size, a percent, a path, a name) keeps its own direction:
// "270.55 GB" and "/home/ana" stay in their order inside an Arabic sentence, an Arabic name inside an
// English one. The direction is the text's first strong character, chosen here rather than left to a
// first-strong isolate, which Qt's layout does not resolve. A text that already is one isolated run
// comes back as it is.
inline bool isIsolatedRun(const QString& text) {
    if (text.size() < 2 || text.front().unicode() < 0x2066 || text.front().unicode() > 0x2068 || text.back().unicode() != 0x2069) return false;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x2066 && c <= 0x2068) ++depth;
        else if (c == 0x2069 && --depth == 0) return i == text.size() - 1;
    }
    return false;
}

inline QString isolatedText(const QString& text) {
    if (isIsolatedRun(text)) return text;
    const QChar open = text.isRightToLeft() ? QChar(0x2067) : QChar(0x2066);  // right-to-left or left-to-right isolate
    return open + text + QChar(0x2069);                                        // … pop directional isolate
}
