#include "Platform/EntryProgram.h"

#include "Foundation/LiesWithin.h"
#include "Platform/FileContents.h"
#include "Platform/FolderListing.h"
#include "Platform/RealPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <array>
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

bool isPresent(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isNonFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

fs::path underRoot(const fs::path& machinePath, const SystemRoots& roots) {
    return roots.root / machinePath.relative_path();
}

// Where a session may find programs that this process's PATH leaves out.
std::vector<fs::path> usualProgramFolders(const SystemRoots& roots) {
    std::vector<fs::path> folders{roots.home / ".local/bin", roots.home / "bin", roots.dataHome / "flatpak/exports/bin"};
    for (std::string_view folder : {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/games", "/usr/local/games",
                                    "/snap/bin", "/var/lib/flatpak/exports/bin"})
        folders.push_back(underRoot(folder, roots));
    return folders;
}

// Nothing when the word names a path relative to an unknown folder; the path, present or not, otherwise.
std::optional<fs::path> namedPath(const std::string& word, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    if (word.starts_with("~/")) return roots.home / word.substr(2);
    if (word.starts_with('/')) return underRoot(word, roots);
    if (word.find('/') != std::string::npos) return std::nullopt;
    for (const fs::path& folder : searchPath)
        if (folder.is_absolute())
            if (fs::path candidate = underRoot(folder, roots) / word; isNonFolder(candidate)) return candidate;
    for (const fs::path& folder : usualProgramFolders(roots))
        if (fs::path candidate = folder / word; isNonFolder(candidate)) return candidate;
    return fs::path();
}

// "steam://rungameid/413150", "lutris:rungameid/2": an address that a launcher opens. The launcher
// may live where no path reaches (inside a Flatpak), and what it opens stays with it. A drive
// letter ("C:\\") is a Windows path, not an address.
bool isAddress(std::string_view word) {
    const size_t colon = word.find(':');
    if (colon == std::string_view::npos || colon < 2 || colon + 1 == word.size()) return false;
    const std::string_view scheme = word.substr(0, colon);
    const auto schemeCharacter = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; };
    return std::isalpha(static_cast<unsigned char>(scheme.front())) && std::all_of(scheme.begin(), scheme.end(), schemeCharacter);
}

// Names that only an environment or an install holds: a Python or Node environment, a conda
// install, an interpreter of its own.
constexpr std::array<std::string_view, 20> installMarks{"pyvenv.cfg", "conda-meta", "node_modules", "python", "python3", "python2", "node",
                                                        "nodejs", "ruby", "perl", "Rscript", "R", "java", "lua", "php", "julia",
                                                        "deno", "bun", "conda", "npm"};
// Trees whose programs belong to the tool that installed them.
constexpr std::array<std::string_view, 9> installTrees{"node_modules", "pipx", "Toolbox", "Steam", ".steam", "steamapps", ".npm-global",
                                                       "site-packages", "dist-packages"};

bool holds(const fs::path& folder, std::string_view name) {
    return isPresent(folder / name);
}

// A folder of an environment or of an install, rather than a folder of the user's own programs.
bool isInstallFolder(const fs::path& folder, const fs::path& home) {
    const std::string name = folder.filename().native();
    if (std::find(installTrees.begin(), installTrees.end(), name) != installTrees.end()) return true;
    // The user's own program folders hold whatever the user links there, interpreters included.
    if (folder == home / ".local/bin" || folder == home / "bin") return false;
    for (std::string_view mark : installMarks)
        if (holds(folder, mark)) return true;
    return name == "bin" && (holds(folder.parent_path(), "lib") || holds(folder.parent_path(), "lib64"));
}

// "pip install --user" puts a package's programs into ~/.local/bin as plain files, each listed in
// the package's RECORD as "../../../bin/<name>,<hash>,<size>": they go with the package.
bool installedByPip(const fs::path& file, const fs::path& home) {
    if (file.parent_path() != home / ".local/bin") return false;
    const std::string listed = "\n../../../bin/" + file.filename().native() + ",";
    constexpr size_t largestRecord = 16 << 20;
    for (const fs::path& lib : FolderListing::entries(home / ".local/lib").value_or(std::vector<fs::path>{})) {
        if (!lib.filename().native().starts_with("python")) continue;
        for (const fs::path& package : FolderListing::entries(lib / "site-packages").value_or(std::vector<fs::path>{}))
            if (package.extension() == ".dist-info")
                if (const auto record = FileContents::read(package / "RECORD", largestRecord); record && ("\n" + *record).find(listed) != std::string::npos)
                    return true;
    }
    return false;
}

bool isAlone(const fs::path& named, const fs::path& realFile, const SystemRoots& roots) {
    struct stat info {};
    if (::lstat(named.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 || info.st_uid != ::geteuid()) return false;
    const auto home = realPath(roots.home);
    // A home folder of "/" (no HOME) would make every program on the machine the user's.
    if (!home || *home == "/" || !liesWithin(realFile, *home)) return false;
    for (fs::path folder = realFile.parent_path(); folder != *home && liesWithin(folder, *home); folder = folder.parent_path())
        if (isInstallFolder(folder, *home)) return false;
    return !installedByPip(realFile, *home);
}

}  // namespace

EntryProgram EntryProgram::of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    const std::vector<std::string> words = entry.command();
    const auto wordIndex = programWord(words);
    if (!wordIndex) return {};
    const auto named = namedPath(words[*wordIndex], roots, searchPath);
    if (!named) return {};
    errno = ENOENT;
    const auto realFile = named->empty() ? std::nullopt : realPath(*named);
    // A link that leads nowhere is no program either; a folder we may not read says nothing.
    if (!realFile) {
        const bool opensAddress = std::any_of(words.begin() + std::ptrdiff_t(*wordIndex) + 1, words.end(), [](const std::string& word) { return isAddress(word); });
        const bool gone = (errno == ENOENT || errno == ENOTDIR) && !opensAddress;
        return {gone ? Found::nowhere : Found::unknown, {}, {}, false};
    }
    const fs::path path = named->lexically_normal();
    return {Found::present, path, *realFile, isAlone(path, *realFile, roots)};
}
