#pragma once

#include <QChar>
#include <QString>

// A value placed into running text (a size, a percent, a path, a name) keeps its own direction:
// "270.55 GB" stays in its order inside an Arabic sentence, an Arabic name inside an English one.
inline QString isolatedText(const QString& text) {
    return QChar(0x2068) + text + QChar(0x2069);  // first-strong isolate … pop directional isolate
}
