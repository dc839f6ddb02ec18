#include "ViewSupport/StorageFixtures.h"

#include "ViewSupport/Looks.h"

#include <QDir>

namespace StorageFixtures {

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files, const std::string& parent) {
    StorageBucket b;
    b.id = parent + "/" + name;
    b.name = name;
    b.url = b.id;
    b.size = size;
    b.fileCount = files;
    return b;
}

std::vector<const StorageBucket*> pointersTo(const std::vector<StorageBucket>& buckets) {
    std::vector<const StorageBucket*> pointers;
    for (const StorageBucket& bucket : buckets) pointers.push_back(&bucket);
    return pointers;
}

void renderScreens(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make) {
    QDir().mkpath(QUARNELL_SCREENS_DIR);
    Looks::renderInEveryLook(QDir(QUARNELL_SCREENS_DIR), name, size, make);
}

}  // namespace StorageFixtures
