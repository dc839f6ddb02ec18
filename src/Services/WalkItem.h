#pragma once

#include <cstdint>
#include <string>

// A directory waiting to be read by a walk, with the index of the bucket or root it lies under.
struct WalkItem {
    std::string path;
    std::int64_t tag = 0;
};
