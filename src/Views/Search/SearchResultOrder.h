#pragma once

#include "Models/SearchHit.h"
#include "Views/Search/SearchSort.h"

#include <QString>

#include <vector>

// The search results as the list shows them.
namespace SearchResultOrder {

// The hits in the chosen order: largest first, by name (case ignored, digits by value, in the active
// language) or newest first with undated hits last. Hits that compare equal keep the service's order.
std::vector<SearchHit> sorted(const std::vector<SearchHit>& hits, SearchSort sort);

// A row's tooltip: the full path, then the kind and the date when known, one per line.
QString help(const SearchHit& hit);

}  // namespace SearchResultOrder
