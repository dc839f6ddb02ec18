#pragma once

#include "Platform/SystemRoots.h"

#include <sys/types.h>

#include <filesystem>
#include <vector>

// A child of the test that holds files open, maps others (closing them, so that only the mapping
// holds them) and works in a folder, until the test drops it; it ends with the test too. The
// processes the roots it gives see are the child alone, through a /proc of one entry; their paths
// are the machine's.
class HoldingChild {
public:
    struct Holds {
        std::vector<std::filesystem::path> open;
        std::vector<std::filesystem::path> mapped;
        std::filesystem::path workingFolder;
    };

    HoldingChild(const Holds& holds, const std::filesystem::path& proc);
    ~HoldingChild();  // kills the child, whose id is its own until then
    HoldingChild(const HoldingChild&) = delete;
    HoldingChild& operator=(const HoldingChild&) = delete;

    // Whether the child holds all it was asked to.
    bool isHolding() const { return holding_; }
    // Fixture roots under `tree` whose processes are the child alone.
    SystemRoots roots(const std::filesystem::path& tree) const;

private:
    pid_t child_ = -1;
    bool holding_ = false;
    std::filesystem::path proc_;
};
