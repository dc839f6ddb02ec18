#include "Platform/MountTable.h"

#include "Platform/FileContents.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Both tables write a space, tab, newline and backslash in a path as an octal escape.
fs::path unescaped(const std::string& text) {
    auto isOctal = [&](std::size_t at) { return text[at] >= '0' && text[at] <= '7'; };
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            path.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            path.push_back(text[i]);
        }
    }
    return path;
}

}  // namespace

// "<id> <parent> <major:minor> <root> <mount point> <options> [<optional fields>…] - <type> <source> …"
std::vector<MountTable::Mount> MountTable::mounted(const fs::path& proc) {
    std::vector<Mount> mounts;
    std::ifstream table(proc / "self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (!(fields >> id >> parent >> device >> root >> point)) continue;
        std::string type;
        for (std::string field; fields >> field;)
            if (field == "-") {
                fields >> type;
                break;
            }
        mounts.push_back({device, unescaped(root), unescaped(point), type});
    }
    return mounts;
}

// "<device> <mount point> <type> <options> …", "#" starting a comment.
std::vector<fs::path> MountTable::configured(const fs::path& root) {
    constexpr size_t largestTable = 1 << 20;
    std::vector<fs::path> points;
    const auto table = FileContents::read(root / "etc/fstab", largestTable);
    if (!table) return points;
    std::istringstream lines(*table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point) || device.starts_with('#')) continue;
        if (!point.starts_with('/')) continue;
        // "/data/" is where "/data" is mounted.
        fs::path folder = unescaped(point).lexically_normal();
        if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
        points.push_back(std::move(folder));
    }
    return points;
}
