#pragma once

#include <QString>

// Values placed in a sentence go between isolates, so a name or a list of figures keeps its own
// order inside an Arabic sentence and an Arabic name inside an English one.

// A name: its direction from its own first letter.
inline QString isolated(const QString& text) { return QChar(0x2068) + text + QChar(0x2069); }

// Figures laid out left to right ("3000, 5173", "2 hours"), whatever the sentence's direction.
inline QString isolatedLeftToRight(const QString& text) { return QChar(0x2066) + text + QChar(0x2069); }
