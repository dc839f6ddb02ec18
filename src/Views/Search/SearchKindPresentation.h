#pragma once

#include "Models/SearchKind.h"

#include <QString>

// How the search screen names and draws a file kind.
inline QString labelKey(SearchKind kind) { return QStringLiteral("search.kind.") + rawText(kind); }

inline QString symbol(SearchKind kind) {
    switch (kind) {
    case SearchKind::all: return QStringLiteral("doc.on.doc.fill");
    case SearchKind::images: return QStringLiteral("photo.fill");
    case SearchKind::video: return QStringLiteral("film.fill");
    case SearchKind::audio: return QStringLiteral("waveform");
    case SearchKind::documents: return QStringLiteral("doc.text.fill");
    case SearchKind::archives: return QStringLiteral("archivebox.fill");
    }
    return {};
}
