#pragma once

#include "Models/SearchKind.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QString>

#include <vector>

// One ready-made search, a kind and a text, as the suggestions and the quick-search strip offer it.
struct QuickSearch {
    QString id;
    QString title;   // text key
    QString detail;  // shown as it is
    QString symbol;
    DynamicColor tint;
    QString query;
    SearchKind kind = SearchKind::all;

    // The four quick searches, in the order they are offered; made once.
    static const std::vector<QuickSearch>& all();
};
