#pragma once

#include "Models/ScanSnapshot.h"
#include "Models/StorageBucket.h"

#include <string>
#include <vector>

namespace StorageFixtures {

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files = 1, const std::string& parent = "/home/ana");

// The list as the storage views take it: pointing into buckets the caller keeps.
std::vector<const StorageBucket*> pointersTo(const std::vector<StorageBucket>& buckets);

}  // namespace StorageFixtures
