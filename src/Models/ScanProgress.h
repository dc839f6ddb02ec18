#pragma once

#include <cstdint>
#include <string>

// The live state of a running scan.
struct ScanProgress {
    std::string path;  // the folder most recently finished (bytes)
    std::int64_t filesSeen = 0;
    std::int64_t bytesSeen = 0;
};
