#include "Support/BackupHome.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// As `rsync -a` and `cp -a` copy: a new file with the original's date.
fs::path copyKeepingDate(const fs::path& from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    struct stat status {};
    ::stat(from.c_str(), &status);
    TempTree::setModified(to, status.st_mtim.tv_sec);
    return to;
}

}  // namespace

BackupHome::BackupHome(const TempTree& home) {
    const fs::path root = home.path();
    unsigned seed = 500;
    auto write = [&](const std::string& relative, std::size_t size) {
        const fs::path file = home.write(relative, TempTree::randomBytes(size, seed++));
        TempTree::setModified(file, 1'600'000'000 + seed);
        return file;
    };
    for (int i = 0; i < 4; ++i) live.push_back(write("Music/song-" + std::to_string(i) + ".mp3", 150'000 + 2'000 * std::size_t(i)));
    live.push_back(write("Documents/notes/todo.txt", 2'500));
    for (int i = 0; i < 3; ++i) live.push_back(write("Documents/doc-" + std::to_string(i) + ".odt", 3'000 + 100 * std::size_t(i)));
    for (int i = 0; i < 3; ++i) pictures.push_back(write("Pictures/p" + std::to_string(i) + ".jpg", 40'000 + 1'000 * std::size_t(i)));

    // rsnapshot: daily.0 copied; rotated into daily.1 with `cp -al`; then what changed copied anew.
    const fs::path snapshots = root / "Backups/rsnapshot";
    for (const fs::path& file : live) copyKeepingDate(file, snapshots / "daily.0" / fs::relative(file, root));
    for (const fs::path& file : live) {
        const fs::path relative = fs::relative(file, root);
        fs::create_directories((snapshots / "daily.1" / relative).parent_path());
        fs::create_hard_link(snapshots / "daily.0" / relative, snapshots / "daily.1" / relative);
    }
    for (const fs::path& changed : {live[0], live[4]}) {
        const fs::path relative = fs::relative(changed, root);
        home.write(relative.string(), TempTree::randomBytes(std::size_t(fs::file_size(changed)), seed++));
        TempTree::setModified(changed, 1'700'000'000);
        fs::remove(snapshots / "daily.0" / relative);
        copyKeepingDate(changed, snapshots / "daily.0" / relative);
    }

    // rsync --link-dest: the first generation copied, the second linked to it but for what changed.
    const fs::path machine = root / "Backups/TimeMachine";
    for (const fs::path& file : live)
        if (file.parent_path().filename() == "Documents") copyKeepingDate(file, machine / "2026-01-01" / fs::relative(file, root));
    home.write("Documents/doc-2.odt", TempTree::randomBytes(3'200, 998));
    TempTree::setModified(live.back(), 1'700'000'001);
    for (const fs::path& file : live) {
        if (file.parent_path().filename() != "Documents") continue;
        const fs::path relative = fs::relative(file, root);
        fs::create_directories((machine / "2026-01-02" / relative).parent_path());
        if (file == live.back()) copyKeepingDate(file, machine / "2026-01-02" / relative);
        else fs::create_hard_link(machine / "2026-01-01" / relative, machine / "2026-01-02" / relative);
    }
    for (const auto& entry : fs::recursive_directory_iterator(root / "Backups"))
        if (entry.is_regular_file()) backups.push_back(entry.path());

    // The copy comes later: born after its original, whose status clock it waits past.
    home.waitForStatusClockPast(pictures.back());
    for (const fs::path& picture : pictures) picturesCopies.push_back(copyKeepingDate(picture, root / "Desktop/photos-copy" / picture.filename()));
}
