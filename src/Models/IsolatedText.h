#pragma once

#include <QChar>
#include <QString>

// A value placed into running text (a size, a percent, a path, a name) keeps its own direction:
// "270.55 GB" and "/home/ana" stay in their order inside an Arabic sentence, an Arabic name inside an
// English one. The direction is the text's first strong character, chosen here rather than left to a
// first-strong isolate, which Qt's layout does not resolve.
inline QString isolatedText(const QString& text) {
    const QChar open = text.isRightToLeft() ? QChar(0x2067) : QChar(0x2066);  // right-to-left or left-to-right isolate
    return open + text + QChar(0x2069);                                        // … pop directional isolate
}
