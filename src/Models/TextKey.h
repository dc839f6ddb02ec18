#pragma once

// Marks a literal as a text key where it is not looked up on the spot (tables, titles),
// so the test that checks both string tables finds it.
constexpr const char* textKey(const char* key) { return key; }
