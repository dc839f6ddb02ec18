#pragma once

#include <algorithm>
#include <span>
#include <vector>

// Items split by digest: `run` gets each run of equal digests, items in the order they were given.
template <typename Item, typename DigestOf, typename Run>
void forEachDigestRun(std::vector<Item>& items, DigestOf digestOf, Run run) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return digestOf(a) < digestOf(b); });
    for (std::size_t first = 0; first < items.size();) {
        std::size_t end = first + 1;
        while (end < items.size() && digestOf(items[end]) == digestOf(items[first])) ++end;
        run(std::span<Item>(items.data() + first, end - first));
        first = end;
    }
}
