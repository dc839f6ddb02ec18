#pragma once

#include "Foundation/Instant.h"
#include "Platform/ProcessIdentity.h"

#include <cstdint>
#include <optional>
#include <string>

// One running developer-runtime process as the per-application pass measured it.
struct DevProcessSample {
    std::int32_t pid = 0;
    std::string executable;  // the runtime's name
    std::uint64_t memory = 0;  // its anonymous pages, bytes
    std::uint64_t sharedMemory = 0;  // the shared memory it maps, bytes
    double cpuShare = 0;   // of the whole machine, last interval
    double coreShare = 0;  // the same in cores
    double cpuTime = 0;    // processor seconds since it started
    std::optional<Instant> startedAt;
    ProcessIdentity identity;  // to stop this very process later

    bool operator==(const DevProcessSample&) const = default;
};
