#include "Platform/EntryProgram.h"

#include "Foundation/IsPresent.h"
#include "Foundation/LiesWithin.h"
#include "Platform/ElfImage.h"
#include "Platform/FileContents.h"
#include "Platform/FolderListing.h"
#include "Platform/InstallFolder.h"
#include "Platform/KeyFile.h"
#include "Platform/MountTable.h"
#include "Platform/ProgramPath.h"
#include "Platform/RealPath.h"
#include "Platform/ShellCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <array>
#include <string_view>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

bool isEnvironmentSetting(std::string_view word) {
    const size_t equals = word.find('=');
    return equals != std::string_view::npos && equals > 0 && word.substr(0, equals).find('/') == std::string_view::npos;
}

bool isEnv(std::string_view word) {
    return word == "env" || word.ends_with("/env");
}

// Where the word that names the program is: "env -u NAME A=1 ~/Apps/foo %U" names ~/Apps/foo.
std::optional<size_t> programWord(const std::vector<std::string>& words) {
    size_t next = 0;
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

// The folder "env -C" starts its program in, as written.
std::optional<std::string> envFolder(const std::vector<std::string>& words) {
    if (words.empty() || !isEnv(words.front())) return std::nullopt;
    for (size_t index = 1; index < words.size(); ++index) {
        const std::string& word = words[index];
        if ((word == "-C" || word == "--chdir") && index + 1 < words.size()) return words[index + 1];
        if (word.starts_with("--chdir=")) return word.substr(8);
        if (word == "-u" || word == "--unset") ++index;
        else if (!word.starts_with('-') && !isEnvironmentSetting(word)) break;
    }
    return std::nullopt;
}

bool isNonFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The first file of that name in the folders; empty when there is none.
fs::path presentIn(const std::vector<fs::path>& folders, std::string_view name) {
    for (const fs::path& folder : folders)
        if (fs::path candidate = folder / name; isNonFolder(candidate)) return candidate;
    return {};
}

std::vector<fs::path> programFolders(const fs::path& home) {
    return EntryProgram::programFolders(home);
}

// Where a session may find programs that this process's PATH leaves out.
std::vector<fs::path> usualProgramFolders(const SystemRoots& roots) {
    std::vector<fs::path> folders = programFolders(roots.home);
    folders.push_back(roots.dataHome / "flatpak/exports/bin");
    for (std::string_view folder : {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/games", "/usr/local/games",
                                    "/snap/bin", "/var/lib/flatpak/exports/bin"})
        folders.push_back(roots.underRoot(folder));
    return folders;
}

// The path a word names, present or not: "~/" is the home folder, a path with a slash is read in the
// folder the command starts in, a bare name is looked for on the search path (empty when not found).
// Nothing when the word names a path relative to an unknown folder.
std::optional<fs::path> namedPath(const std::string& word, const SystemRoots& roots, const std::vector<fs::path>& searchPath,
                                  const std::optional<fs::path>& workingFolder) {
    if (word.starts_with("~/")) return roots.home / word.substr(2);
    if (word.starts_with('/')) return roots.underRoot(word);
    if (word.find('/') != std::string::npos) return workingFolder ? std::optional(*workingFolder / word) : std::nullopt;
    for (const fs::path& folder : searchPath)
        if (folder.is_absolute())
            if (fs::path candidate = roots.underRoot(folder) / word; isNonFolder(candidate)) return candidate;
    return presentIn(usualProgramFolders(roots), word);
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

// A path a shell would reach without a working folder: "~/x", "$HOME/x", "${HOME}/x" or "/x".
std::optional<fs::path> absolutePath(std::string_view word, const SystemRoots& roots) {
    for (std::string_view home : {"~/", "$HOME/", "${HOME}/"})
        if (word.starts_with(home)) return roots.home / word.substr(home.size());
    if (word.starts_with('/')) return roots.underRoot(fs::path(word));
    return std::nullopt;
}

// A place or a name an entry names, once.
template <typename Name>
void addOnce(std::vector<Name>& names, Name name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
}

// The folder a path written in an entry names: absolute, or read in `folder`; nothing for a word
// that is no path.
std::optional<fs::path> folderNamed(std::string_view word, const std::optional<fs::path>& folder, const SystemRoots& roots) {
    if (auto path = absolutePath(word, roots)) return path;
    if (folder && !word.empty() && !word.starts_with('-')) return *folder / word;
    return std::nullopt;
}

// What the commands of an entry name, each resolved: the files they run, and the folders they work in.
struct PlacesNamed {
    const SystemRoots& roots;
    const std::vector<fs::path>& searchPath;
    EntryProgram& program;
    // Where a bare name in a script is looked for: the home's program folders only, as only a program
    // of the home may be an application's own. Unset for an entry's own commands.
    std::optional<std::vector<fs::path>> scriptNameFolders = {};
    std::unordered_set<std::string> namesLookedUp = {};

    // A word that names a place: by its path, as an option's value ("--appimage-path=~/x"), relative
    // to the folder the command works in, or as a program on the search path.
    void take(std::string_view word, const std::optional<fs::path>& folder) {
        std::optional<fs::path> path = absolutePath(word, roots);
        if (const size_t equals = word.find('='); !path && equals != std::string_view::npos) {
            word.remove_prefix(equals + 1);
            path = absolutePath(word, roots);
        }
        if (!path && word.find('/') != std::string_view::npos) path = folderNamed(word, folder, roots);
        const bool bareName = !word.empty() && (std::isalnum(static_cast<unsigned char>(word.front())) || word.front() == '_') &&
                              word.find('/') == std::string_view::npos;
        if (!path && bareName) {
            if (!scriptNameFolders) path = namedPath(std::string(word), roots, searchPath, folder);
            else if (namesLookedUp.emplace(word).second) path = presentIn(*scriptNameFolders, word);
        }
        if (path && !path->empty()) add(*path);
    }

    // A place that is there; a folder it names ("cd ~/notes", "--root /") is where it works, not what it runs.
    // A link named is a place of its own too: an environment's "bin/python" leads out of the
    // environment, yet runs it.
    void add(const fs::path& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return;
        std::vector<fs::path>& places = S_ISDIR(info.st_mode) ? program.folders : program.runs;
        if (auto real = realPath(path)) addOnce(places, std::move(*real));
        struct stat named {};
        if (::lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) addOnce(places, locatedPath(path));
    }

    // Every word of a command, and each word of a command handed to a shell ("sh -c 'cd ~/x && exec
    // ./foo'"), read as a shell would part it, quotes taken away and operators parting words, in the
    // folder its "cd" changes to; the word at `resolved`, looked for already, is not looked for again.
    void command(const std::vector<std::string>& words, std::optional<size_t> resolved, const std::optional<fs::path>& folder) {
        for (size_t index = 0; index < words.size(); ++index) {
            if (index != resolved) take(words[index], folder);
            std::optional<fs::path> shellFolder = folder;
            for (const std::vector<std::string>& inner : ShellCommands::of(words[index])) {
                for (const std::string& word : inner) take(word, shellFolder);
                if (inner.size() > 1 && inner.front() == "cd") shellFolder = folderNamed(inner[1], shellFolder, roots);
                // An alias's value, or a fish abbreviation's, is a command line of its own: "alias nv='exec ~/x --y'".
                if (inner.front() == "alias" || inner.front() == "abbr")
                    for (size_t at = 1; at < inner.size(); ++at) {
                        const size_t equals = inner[at].find('=');
                        command({equals == std::string::npos ? inner[at] : inner[at].substr(equals + 1)}, std::nullopt, shellFolder);
                    }
            }
        }
    }
};

// The name of the program a command starts, past "env", and inside a container the one it starts
// there: "distrobox-enter -n box -- gimp-2.10", "toolbox run -c box gimp", "flatpak-spawn --host gimp".
void addProgramNames(const std::vector<std::string>& words, std::vector<std::string>& names) {
    const auto at = programWord(words);
    if (!at) return;
    const std::string name(ProgramPath::name(words[*at]));
    addOnce(names, name);
    auto inside = [&](size_t index) {
        if (index < words.size() && !words[index].empty()) addOnce(names, std::string(ProgramPath::name(words[index])));
    };
    if (name == "distrobox-enter" || name == "distrobox") {
        const auto separator = std::find(words.begin() + std::ptrdiff_t(*at), words.end(), "--");
        if (separator != words.end()) inside(size_t(separator - words.begin()) + 1);
    } else if (name == "toolbox" && *at + 1 < words.size() && words[*at + 1] == "run") {
        size_t index = *at + 2;
        for (; index < words.size() && words[index].starts_with('-'); ++index)
            if (words[index].find('=') == std::string::npos && words[index] != "--") ++index;  // "-c box", "--release 39"
        inside(index);
    } else if (name == "flatpak-spawn") {
        size_t index = *at + 1;
        while (index < words.size() && words[index].starts_with('-')) ++index;
        inside(index);
    }
}

// The entries a command starts by their desktop-file ID: "gtk-launch beeper", "kioclient exec
// beeper.desktop", "dex beeper.desktop", "gio launch beeper.desktop". One named by its path is a
// place the command names already.
void addEntriesStarted(const std::vector<std::string>& words, std::vector<std::string>& ids) {
    const auto at = programWord(words);
    if (!at) return;
    const std::string_view name = ProgramPath::name(words[*at]);
    size_t index = *at + 1;
    const bool byID = name == "gtk-launch" || name == "gtk4-launch";
    const bool subcommand = (name.starts_with("kioclient") && index < words.size() && words[index] == "exec") ||
                            (name == "gio" && index < words.size() && words[index] == "launch");
    if (subcommand) ++index;
    else if (!byID && name != "dex") return;
    for (; index < words.size(); ++index) {
        const std::string& word = words[index];
        if (word.empty() || word.starts_with('-') || word.find('/') != std::string::npos) continue;
        // gtk-launch takes the ID with or without its extension, the others a file name.
        if (word.ends_with(".desktop")) addOnce(ids, word);
        else if (byID) addOnce(ids, word + ".desktop");
        if (byID || subcommand) return;  // what follows are addresses it opens
    }
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

bool isAmong(const fs::path& folder, const std::vector<fs::path>& folders) {
    return std::find(folders.begin(), folders.end(), folder) != folders.end();
}

// The folders with every link resolved; those that are not there are left out.
std::vector<fs::path> realFolders(const std::vector<fs::path>& folders) {
    std::vector<fs::path> found;
    for (const fs::path& folder : folders)
        if (auto real = realPath(folder)) found.push_back(std::move(*real));
    return found;
}

// A folder of an environment or of an install, rather than one of the user's own programs.
bool isInstallFolder(const fs::path& folder, const std::vector<fs::path>& ownProgramFolders) {
    const std::string name = folder.filename().native();
    if (std::find(installTrees.begin(), installTrees.end(), name) != installTrees.end()) return true;
    // The user's own program folders hold whatever the user links there, interpreters included.
    if (isAmong(folder, ownProgramFolders)) return false;
    return std::any_of(installMarks.begin(), installMarks.end(), [&](std::string_view mark) { return holds(folder, mark); });
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

// The AppImage runtime's own mark: "AI" and the format's version, 1 or 2, at bytes 8 to 10.
bool carriesAppImageMark(std::string_view head) {
    return head.size() >= 11 && head.substr(8, 2) == "AI" && (head[10] == 1 || head[10] == 2);
}

// A program the compiler made: what the ELF header begins. A script ("#!") names its program in
// ways without end ("exec ./Postman", "exec \"$APPDIR/bruno\"", "exec zed-editor"), so it is never
// taken for an application's own program.
bool isCompiled(std::string_view head) {
    return head.starts_with("\x7f" "ELF");
}

// The paths a script writes out in full ("~/x", "$HOME/x", "${HOME}/x", "/x"), as it parts words.
std::vector<fs::path> absolutePathsIn(std::string_view script, const SystemRoots& roots) {
    constexpr std::string_view separators = " \t\r\n'\"`;&|()<>=:";
    std::vector<fs::path> paths;
    std::string_view rest = script;
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of(separators);
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find_first_of(separators), rest.size());
        if (auto path = absolutePath(rest.substr(0, end), roots)) paths.push_back(std::move(*path));
        rest.remove_prefix(end);
    }
    return paths;
}

// A script that names another program of the home, outside what would go with it, is a launcher
// in front of that program ("exec ~/apps/itch-25/itch \"$@\""), not a program of its own.
bool launchesAnother(std::string_view script, const fs::path& goesWithIt, const fs::path& home, const SystemRoots& roots) {
    for (const fs::path& path : absolutePathsIn(script, roots)) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 0111) == 0) continue;
        if (const auto real = realPath(path); real && liesWithin(*real, home) && !liesWithin(*real, goesWithIt)) return true;
    }
    return false;
}

// An AppImage lying directly in a folder is an application of its own, entry or none: the folder is
// no other application's.
bool holdsAnAppImage(const fs::path& folder) {
    constexpr size_t markEnd = 11;
    for (const fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{}))
        if (const auto head = FileContents::head(entry, markEnd); head && carriesAppImageMark(*head)) return true;
    return false;
}

// Folders that hold much more than one application: what lies in them is never offered as a whole.
std::vector<fs::path> generalFolders(const SystemRoots& roots) {
    std::vector<fs::path> folders{roots.home, roots.home / "Applications", roots.home / ".local", roots.dataHome, roots.configHome, roots.cacheHome,
                                  roots.stateHome};
    folders.insert(folders.end(), roots.userFolders.begin(), roots.userFolders.end());
    for (fs::path& folder : programFolders(roots.home)) folders.push_back(std::move(folder));
    return realFolders(folders);
}

// A name as a folder's and a program's are compared: lower case, without spaces, "-", "_" and ".".
std::string looseName(std::string_view name) {
    std::string loose;
    for (const char c : name)
        if (c != ' ' && c != '-' && c != '_' && c != '.') loose.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    return loose;
}

// Whether the folder is named after the program: "Telegram" for Telegram, "zoom" for ZoomLauncher,
// "VSCode-linux-x64" for code, "idea-IC" for idea.sh.
bool namedAfter(const fs::path& folder, const fs::path& program) {
    constexpr size_t shortest = 3;
    const std::string folderName = looseName(folder.filename().native());
    const std::string file = program.filename().native();
    const std::array<std::string, 2> names{looseName(file), looseName(file.substr(0, file.find('.')))};
    for (const std::string& name : names) {
        if (name.size() >= shortest && folderName.find(name) != std::string::npos) return true;
        if (folderName.size() >= shortest && name.find(folderName) != std::string::npos) return true;
    }
    return false;
}

// A folder that holds another program beside this one (~/Apps with Godot beside lazydocker and
// yt-dlp, a prefix's ~/apps/bin with foliate beside ctags) gathers programs of several applications
// and the user's files among them. Only a folder named after the program (Telegram/Updater beside
// Telegram/Telegram) is known to hold the helpers of one application; any other is nobody's. A
// shared library beside it, however its mode reads, is no program.
bool holdsOtherPrograms(const fs::path& realFile, const fs::path& folder) {
    if (namedAfter(folder, realFile)) return false;
    for (const fs::path& entry : FolderListing::entries(realFile.parent_path()).value_or(std::vector<fs::path>{})) {
        struct stat info {};
        if (::stat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 0111) == 0) continue;
        if (realPath(entry) == realFile) continue;
        if (const auto head = FileContents::head(entry, ElfImages::headBytes); head && (ElfImages::kindOfBytes(*head) == ElfImage::program || head->starts_with("#!")))
            return true;
    }
    return false;
}

// Whether a folder may be an application's install: below the home, no general folder, outside any
// version-controlled tree.
bool mayBeAnInstall(const fs::path& folder, const fs::path& home, const std::vector<fs::path>& general) {
    if (isAmong(folder, general) || folder == home || !liesWithin(folder, home)) return false;
    for (fs::path each = folder; each != home; each = each.parent_path())
        if (holds(each, ".git")) return false;
    return true;
}

// The folder an application was unpacked or installed into (its NAME.app, the folder above its bin/,
// its own folder), when that holds no AppImage and no other program beside it.
std::optional<fs::path> unpackedFolder(const fs::path& realFile, const fs::path& home, const SystemRoots& roots) {
    const std::vector<fs::path> general = generalFolders(roots);
    if (isAmong(realFile.parent_path(), general)) return std::nullopt;
    const fs::path folder = InstallFolder::around(realFile, home);
    if (!mayBeAnInstall(folder, home, general) || holdsAnAppImage(folder) || holdsOtherPrograms(realFile, folder)) return std::nullopt;
    return folder;
}

// The folder a helper made for one AppImage, when it may be an install and holds no other AppImage.
std::optional<fs::path> helpersFolder(const fs::path& realFile, const fs::path& home, const SystemRoots& roots) {
    const fs::path folder = realFile.parent_path();
    if (!mayBeAnInstall(folder, home, generalFolders(roots))) return std::nullopt;
    constexpr size_t markEnd = 11;
    for (const fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{}))
        if (const auto head = FileContents::head(entry, markEnd); head && carriesAppImageMark(*head) && realPath(entry) != realFile) return std::nullopt;
    return folder;
}

// A script's text as one shell string: its comment lines left out, its lines parting commands, and
// its own folder written out where it names it the usual ways ("$(dirname "$0")/helper").
std::string scriptCommands(std::string_view script, const std::string& folder) {
    constexpr std::array<std::string_view, 8> ownFolder{"$(dirname \"$0\")", "$(dirname $0)", "$(dirname -- \"$0\")", "`dirname \"$0\"`", "`dirname $0`",
                                                       "${0%/*}", "$(dirname \"$(readlink -f \"$0\")\")", "$(dirname \"$(realpath \"$0\")\")"};
    std::string kept;
    // The first line's interpreter runs the script: "#!/home/u/.cache/pypoetry/virtualenvs/x/bin/python".
    if (script.starts_with("#!")) kept.append(script.substr(2, std::min(script.find('\n'), script.size()) - 2)).push_back('\n');
    for (size_t start = 0; start < script.size();) {
        const size_t end = std::min(script.find('\n', start), script.size());
        const std::string_view line = script.substr(start, end - start);
        if (const size_t first = line.find_first_not_of(" \t"); first != std::string_view::npos && line[first] != '#') kept.append(line).push_back('\n');
        start = end + 1;
    }
    for (const std::string_view spelling : ownFolder)
        for (size_t at = kept.find(spelling); at != std::string::npos; at = kept.find(spelling, at + folder.size())) kept.replace(at, spelling.size(), folder);
    return kept;
}

// A script in the home that an entry runs names what it starts ("pw-jack ~/bin/qtractor \"$@\"",
// "cd ~/bin && ./qtractor", "exec qtractor"): those are places the entry names too, and a script
// they name is read in its turn.
void addWhatScriptsName(EntryProgram& program, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    if (program.runs.empty()) return;
    const auto home = realPath(roots.home);
    if (!home || *home == "/") return;
    std::optional<PlacesNamed> inScripts;
    fs::path root;
    constexpr size_t scriptHead = 64 << 10;
    constexpr size_t mostScripts = 16;
    std::vector<fs::path>& runs = program.runs;
    for (size_t index = 0, read = 0; index < runs.size() && read < mostScripts; ++index) {
        if (!liesWithin(runs[index], *home)) continue;
        ++read;
        // Compiled or binary: what its bytes seem to spell is no command.
        constexpr size_t elfMark = 4;
        if (const auto mark = FileContents::head(runs[index], elfMark); !mark || isCompiled(*mark)) continue;
        const auto head = FileContents::head(runs[index], scriptHead);
        if (!head || head->find('\0') != std::string::npos) continue;
        if (!inScripts) {
            std::vector<fs::path> nameFolders = programFolders(roots.home);
            for (const fs::path& folder : searchPath)
                if (fs::path inRoot = roots.underRoot(folder); folder.is_absolute() && liesWithin(inRoot, roots.home)) nameFolders.push_back(std::move(inRoot));
            inScripts.emplace(PlacesNamed{roots, searchPath, program, std::move(nameFolders)});
            root = realPath(roots.root).value_or(roots.root);
        }
        // The folder as the machine names it, as the script's words are read.
        const std::string folder = (fs::path("/") / runs[index].parent_path().lexically_relative(root)).lexically_normal().native();
        inScripts->command({scriptCommands(*head, folder)}, std::nullopt, std::nullopt);
    }
}

// Whether a present program could be the application's own, alone or with the folder it lies in.
void judgeOwnership(EntryProgram& program, const SystemRoots& roots) {
    const fs::path& realFile = program.realFile;
    const auto home = realPath(roots.home);
    // A home folder of "/" (no HOME) would make every program on the machine the user's.
    if (!home || *home == "/" || !liesWithin(realFile, *home)) return;
    // A program named through a link (~/.local/bin/kitty into ~/.local/kitty.app) is its link's
    // target's: it stands alone only when named itself, and is the application's own only inside
    // the folder it is installed in, where a link of the home's leads it.
    struct stat named {};
    const bool throughLink = ::lstat(program.path.c_str(), &named) == 0 && S_ISLNK(named.st_mode);
    if (throughLink && !liesWithin(locatedPath(program.path), *home)) return;
    // Opened without following a link and without waiting (a FIFO in its place never blocks): a
    // regular file of the user's with one name.
    struct stat info {};
    constexpr size_t scriptHead = 64 << 10;
    const auto head = FileContents::head(throughLink ? realFile : program.path, scriptHead, &info);
    if (!head || info.st_nlink != 1 || info.st_uid != ::geteuid()) return;
    const std::vector<fs::path> ownProgramFolders = realFolders(programFolders(roots.home));
    for (fs::path folder = realFile.parent_path(); folder != *home && liesWithin(folder, *home); folder = folder.parent_path())
        if (isInstallFolder(folder, ownProgramFolders)) return;
    if (installedByPip(realFile, *home)) return;
    if (carriesAppImageMark(*head)) {
        // One a helper keeps in a folder of its own goes with that folder; any other stands alone.
        if (InstallFolder::isKeptAlone(realFile)) {
            program.isAppImage = true;
            program.unpackedInto = helpersFolder(realFile, *home, roots);
        } else if (!throughLink) {
            program.standsAlone = program.isAppImage = true;
        }
        return;
    }
    if (isAmong(realFile.parent_path(), ownProgramFolders)) {
        program.standsAlone = !throughLink && isCompiled(*head);
        return;
    }
    std::optional<fs::path> folder = unpackedFolder(realFile, *home, roots);
    if (!folder || (head->starts_with("#!") && launchesAnother(*head, *folder, *home, roots))) return;
    program.unpackedInto = std::move(folder);
}

// The folder with its links resolved as far as it is there; what is missing below is kept as written.
// A link that leads nowhere is followed all the same: it tells where its folder was (a drive that is
// not plugged in).
fs::path realAsFarAsThere(const fs::path& folder) {
    fs::path there = folder;
    fs::path missing;
    for (int hops = 0; there.has_relative_path();) {
        if (auto real = realPath(there)) return *real / missing;
        std::error_code error;
        if (hops < 40 && fs::is_symlink(there, error)) {
            const fs::path target = fs::read_symlink(there, error);
            if (!error) {
                ++hops;
                there = (there.parent_path() / target).lexically_normal();
                continue;
            }
        }
        missing = there.filename() / missing;
        there = there.parent_path();
    }
    return folder;
}

// Storage that is not there now may come back: a program under /media, /run/media or /mnt, or on a
// drive the machine's fstab mounts that is not mounted now, is not known to be gone, even when its
// folder is missing. A folder deleted by hand elsewhere is gone. A link in its place tells where it was.
bool mayComeBack(fs::path named, const SystemRoots& roots) {
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(named, error); ++hops) {
        const fs::path target = fs::read_symlink(named, error);
        if (error) return true;
        named = (named.parent_path() / target).lexically_normal();
    }
    const fs::path folder = realAsFarAsThere(named.parent_path());
    auto liesOn = [&](const fs::path& machinePlace) {
        const fs::path place = roots.underRoot(machinePlace);
        if (liesWithin(named.lexically_normal(), place) || liesWithin(folder, place)) return true;
        // A place that is a link itself (/mnt leading to /run/mnt) is where it leads.
        struct stat info {};
        if (::lstat(place.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return false;
        const auto realPlace = realPath(place);
        return realPlace && liesWithin(folder, *realPlace);
    };
    for (std::string_view removable : {"/media", "/run/media", "/mnt"})
        if (liesOn(removable)) return true;
    // The kernel's table is read only for a program on a drive the fstab names.
    std::vector<fs::path> drives;
    for (fs::path& point : MountTable::configured(roots.root))
        if (point.has_relative_path() && liesOn(point)) drives.push_back(std::move(point));
    if (drives.empty()) return false;
    const std::vector<MountTable::Mount> mounted = MountTable::mounted(roots.proc);
    return std::any_of(drives.begin(), drives.end(), [&](const fs::path& drive) {
        return std::none_of(mounted.begin(), mounted.end(), [&](const MountTable::Mount& mount) { return mount.point == drive; });
    });
}

}  // namespace

std::vector<fs::path> EntryProgram::programFolders(const fs::path& home) {
    return {home / ".local/bin", home / "bin", home / ".cargo/bin", home / "go/bin"};
}

EntryProgram EntryProgram::ofProgramFile(const fs::path& file, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    EntryProgram program;
    PlacesNamed{roots, searchPath, program}.add(file);
    addWhatScriptsName(program, roots, searchPath);
    return program;
}

EntryProgram EntryProgram::of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<fs::path>& searchPath) {
    const std::vector<std::string> words = entry.command();
    EntryProgram program;
    PlacesNamed places{roots, searchPath, program};
    // Where each command starts: the folder "env -C" names, else the entry's Path.
    const std::optional<fs::path> entryFolder = folderNamed(entry.text("Path").value_or(QString()).toStdString(), std::nullopt, roots);
    auto startFolder = [&](const std::vector<std::string>& command) {
        const auto changed = envFolder(command);
        return changed ? folderNamed(*changed, entryFolder, roots) : entryFolder;
    };
    if (entryFolder) places.add(*entryFolder);
    // The programs and entries a command starts, also inside a shell string.
    auto addStarted = [&](const std::vector<std::string>& command) {
        addProgramNames(command, program.programNames);
        addEntriesStarted(command, program.startsEntries);
        for (const std::string& word : command)
            for (const std::vector<std::string>& inner : ShellCommands::of(word)) {
                addProgramNames(inner, program.programNames);
                addEntriesStarted(inner, program.startsEntries);
            }
    };
    for (const std::vector<std::string>& action : entry.actionCommands()) {
        places.command(action, std::nullopt, startFolder(action));
        addStarted(action);
    }
    addStarted(words);
    if (const auto tryExec = entry.text("TryExec"); tryExec && !tryExec->isEmpty()) {
        const std::string word = tryExec->toStdString();
        const auto path = word.find('/') == std::string::npos ? namedPath(word, roots, searchPath, std::nullopt) : absolutePath(word, roots);
        program.tryExecFound = path && isNonFolder(*path) && ::access(path->c_str(), X_OK) == 0;
        if (program.tryExecFound) places.add(*path);
    }

    const auto wordIndex = programWord(words);
    const std::optional<fs::path> folder = startFolder(words);
    const auto named = wordIndex ? namedPath(words[*wordIndex], roots, searchPath, folder) : std::nullopt;
    errno = ENOENT;
    const auto realFile = !named || named->empty() ? std::nullopt : realPath(*named);
    const int error = errno;
    places.command(words, named ? wordIndex : std::nullopt, folder);
    if (named && realFile) {
        program.found = Found::present;
        program.path = named->lexically_normal();
        program.realFile = *realFile;
        places.add(*realFile);
        judgeOwnership(program, roots);
    } else if (named) {
        // A link that leads nowhere is no program either; a folder we may not read says nothing.
        const bool opensAddress = std::any_of(words.begin() + std::ptrdiff_t(*wordIndex) + 1, words.end(), [](const std::string& word) { return isAddress(word); });
        const bool gone = (error == ENOENT || error == ENOTDIR) && !opensAddress && (named->empty() || !mayComeBack(*named, roots));
        program.found = gone ? Found::nowhere : Found::unknown;
    }
    addWhatScriptsName(program, roots, searchPath);
    return program;
}
