#pragma once

#include "Models/ScanSnapshot.h"
#include "Models/StorageBucket.h"
#include "Services/DiskCapacityService.h"

#include <string>
#include <vector>

namespace StorageFixtures {

// A disk of 512 GB with 180 GB available, whatever the machine's own.
inline const DiskCapacityService::Capacity fixedCapacity{512'000'000'000, 180'000'000'000};

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files = 1, const std::string& parent = "/home/ana");

// The list as the storage views take it: pointing into buckets the caller keeps.
std::vector<const StorageBucket*> pointersTo(const std::vector<StorageBucket>& buckets);

}  // namespace StorageFixtures
