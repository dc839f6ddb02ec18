#pragma once

#include <QString>

// A value placed in a sentence, between first-strong isolates, so a name or a list of figures keeps
// its own order inside an Arabic sentence and an Arabic name inside an English one.
inline QString isolated(const QString& text) { return QChar(0x2068) + text + QChar(0x2069); }
