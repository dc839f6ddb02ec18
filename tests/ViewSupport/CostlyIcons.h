#pragma once

#include <cstdint>
#include <string>

// A scalable icon of one path of `segments` lines, each from one random point of the image to another:
// the costliest outline to fill, segment for segment. 480,000 segments make about 3.9 MB, under the
// size an icon file may have.
inline std::string onePathIcon(int segments) {
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 256 256"><path fill="#f00" d="M0 0 )";
    std::uint32_t state = 7;
    auto coordinate = [&state] {
        state = state * 1664525u + 1013904223u;
        return std::to_string(state >> 24);
    };
    for (int i = 0; i < segments; ++i) svg += "L" + coordinate() + " " + coordinate() + " ";
    return svg + R"("/></svg>)";
}
