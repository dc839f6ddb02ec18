#pragma once

#include <algorithm>
#include <string_view>

// Whether path `a` comes before `b` when both are compared folder by folder, bytewise: "a/z" before
// "a.b/c", as a sorted listing of each folder in turn would meet them. A name holds no '/', so
// putting '/' before every other byte compares the names one folder at a time.
inline bool precedesInTree(std::string_view a, std::string_view b) {
    auto rank = [](char c) { return c == '/' ? 0 : static_cast<unsigned char>(c) + 1; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return rank(x) < rank(y); });
}
