#include "Platform/HomeProgram.h"

#include "Platform/ProgramLaunchers.h"
#include "Platform/ProgramPath.h"
#include "Platform/RealPath.h"

#include <sys/stat.h>

#include <string_view>

namespace fs = std::filesystem;

namespace {

bool isEnvironmentSetting(std::string_view word) {
    const size_t equals = word.find('=');
    return equals != std::string_view::npos && equals > 0 && word.substr(0, equals).find('/') == std::string_view::npos;
}

// Where the word that names the program is: "env -u NAME A=1 ~/Apps/foo %U" names ~/Apps/foo.
std::optional<size_t> programWord(const std::vector<std::string>& words) {
    size_t next = 0;
    const auto isEnv = [](std::string_view word) { return word == "env" || word.ends_with("/env"); };
    if (!words.empty() && isEnv(words.front())) {
        next = 1;
        while (next < words.size()) {
            const std::string& word = words[next];
            if (word == "-u" || word == "--unset" || word == "-C" || word == "--chdir") next += 2;
            else if (word.starts_with('-') || isEnvironmentSetting(word)) ++next;
            else break;
        }
    }
    if (next >= words.size() || words[next].empty()) return std::nullopt;
    return next;
}

bool isNonFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Where the machine's `path` is under the roots.
fs::path underRoot(const fs::path& machinePath, const SystemRoots& roots) {
    return roots.root / machinePath.relative_path();
}

std::optional<fs::path> namedFile(const std::string& word, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    if (word.starts_with("~/")) return roots.home / word.substr(2);
    if (word.starts_with('/')) return underRoot(word, roots);
    if (word.find('/') != std::string::npos) return std::nullopt;  // relative to a working folder nobody knows
    for (const fs::path& folder : searchPath) {
        if (!folder.is_absolute()) continue;
        fs::path candidate = underRoot(folder, roots) / word;
        if (isNonFolder(candidate)) return candidate;
    }
    return std::nullopt;
}

bool liesInside(const fs::path& item, const fs::path& folder) {
    return item.native().starts_with(folder.native() + "/");
}

}  // namespace

std::optional<HomeProgram> HomeProgram::of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    const std::vector<std::string> words = entry.command();
    const auto wordIndex = programWord(words);
    if (!wordIndex) return std::nullopt;
    const std::string& word = words[*wordIndex];
    const auto named = namedFile(word, roots, searchPath);
    if (!named) return std::nullopt;
    const auto home = realPath(roots.home);
    const auto file = realPath(*named);
    struct stat info {};
    if (!home || !file || !liesInside(*file, *home) || ::lstat(file->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

    const bool launcher = ProgramLaunchers::isLauncher(ProgramPath::name(word)) || ProgramLaunchers::isLauncher(file->filename().native());
    HomeProgram program{*file, std::nullopt, word.find('/') == std::string::npos ? word : std::string(), launcher, launcher && *wordIndex + 1 < words.size()};
    const fs::path normal = named->lexically_normal();
    struct stat linkInfo {};
    if (normal != *file && ::lstat(normal.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        const auto linkFolder = realPath(normal.parent_path());
        if (linkFolder && liesInside(*linkFolder / normal.filename(), *home)) program.link = *linkFolder / normal.filename();
    }
    return program;
}
