#include "ViewSupport/StorageFixtures.h"

#include "ViewSupport/Looks.h"

#include <QDir>

namespace StorageFixtures {

StorageBucket bucket(const std::string& name, std::int64_t size, std::int64_t files, const std::string& parent) {
    StorageBucket b;
    b.path = parent + "/" + name;
    b.size = size;
    b.fileCount = files;
    return b;
}

ScanSnapshot homeSnapshot() {
    ScanSnapshot snapshot;
    snapshot.rootPath = "/home/ana";
    const std::vector<std::tuple<std::string, std::int64_t, std::int64_t>> rows{
        {"Videos", 48'300'000'000, 412},     {"Projects", 21'700'000'000, 183'220}, {".cache", 12'900'000'000, 64'118},
        {"Pictures", 9'400'000'000, 12'874}, {"Downloads", 6'200'000'000, 1'390},   {"Music", 4'800'000'000, 3'022},
        {".local", 3'100'000'000, 22'491},   {"Documents", 1'900'000'000, 4'077},   {"VirtualBox VMs", 1'200'000'000, 18},
        {".var", 840'000'000, 9'311},        {"Desktop", 310'000'000, 96},          {".mozilla", 260'000'000, 1'204},
        {"Templates", 12'000'000, 8},        {"notes.txt", 48'000, 1},              {".bashrc", 4'096, 1}};
    for (const auto& [name, size, files] : rows) {
        snapshot.buckets.push_back(bucket(name, size, files));
        snapshot.totalSize += size;
        snapshot.fileCount += files;
    }
    snapshot.folderCount = 38'412;
    snapshot.duration = 7.4;
    for (int i = 0; i < 30; ++i) {
        ScannedFile file;
        file.path = i % 3 == 0 ? "/home/ana/Videos/Holiday " + std::to_string(2010 + i) + ".mkv"
                              : "/home/ana/Projects/build/artifact-" + std::to_string(i) + ".tar";
        file.size = 4'000'000'000 - std::int64_t(i) * 120'000'000;
        snapshot.largestFiles.push_back(file);
    }
    return snapshot;
}

void renderScreens(const QString& name, QSize size, const std::function<std::unique_ptr<QWidget>()>& make) {
    QDir().mkpath(QUARNELL_SCREENS_DIR);
    Looks::renderInEveryLook(QDir(QUARNELL_SCREENS_DIR), name, size, make);
}

}  // namespace StorageFixtures
