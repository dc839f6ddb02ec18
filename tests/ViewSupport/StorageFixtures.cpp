#include "ViewSupport/StorageFixtures.h"

namespace StorageFixtures {

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files, const std::string& parent) {
    StorageBucket b;
    b.path = parent + "/" + name;
    b.size = size;
    b.fileCount = files;
    return b;
}

std::vector<const StorageBucket*> pointersTo(const std::vector<StorageBucket>& buckets) {
    std::vector<const StorageBucket*> pointers;
    for (const StorageBucket& bucket : buckets) pointers.push_back(&bucket);
    return pointers;
}

}  // namespace StorageFixtures
