#include "Views/Search/SearchResultOrder.h"

#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/NameCollator.h"
#include "Models/TimeFormatting.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <numeric>

namespace SearchResultOrder {

std::vector<SearchHit> sorted(const std::vector<SearchHit>& hits, SearchSort sort) {
    std::vector<SearchHit> result = hits;
    switch (sort) {
    case SearchSort::size:
        std::stable_sort(result.begin(), result.end(), [](const SearchHit& a, const SearchHit& b) { return a.size > b.size; });
        break;
    case SearchSort::name: {
        // Names are compared as shown, each made once rather than at every comparison.
        const QCollator collator = nameCollator(true);
        std::vector<QString> names;
        names.reserve(hits.size());
        for (const SearchHit& hit : hits) names.push_back(PathText::display(hit.path.filename()));
        std::vector<std::size_t> order(hits.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return collator.compare(names[a], names[b]) < 0; });
        for (std::size_t i = 0; i < order.size(); ++i) result[i] = hits[order[i]];
        break;
    }
    case SearchSort::modified:
        std::stable_sort(result.begin(), result.end(), [](const SearchHit& a, const SearchHit& b) {
            if (!b.modifiedAt) return a.modifiedAt.has_value();
            return a.modifiedAt && a.modifiedAt->referenceSeconds() > b.modifiedAt->referenceSeconds();
        });
        break;
    }
    return result;
}

QString help(const SearchHit& hit) {
    QStringList lines{DisplayText::path(hit.path)};
    if (!hit.kind.isEmpty()) lines << hit.kind;
    if (hit.modifiedAt) lines << TimeFormatting::dayMonthYear(*hit.modifiedAt, AppLocalization::activeLocale());
    return lines.join(QLatin1Char('\n'));
}

}  // namespace SearchResultOrder
