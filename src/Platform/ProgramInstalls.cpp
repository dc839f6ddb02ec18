#include "Platform/ProgramInstalls.h"

#include "Foundation/LiesWithin.h"
#include "Platform/DirectoryReader.h"
#include "Platform/ElfImage.h"
#include "Platform/FileContents.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

using Kind = DirectoryEntry::Kind;

// The folders of a tree that hold its programs and what they load.
constexpr std::array treeFolders{std::string_view("bin"), std::string_view("sbin"), std::string_view("libexec"),
                                 std::string_view("lib"),  std::string_view("lib32"), std::string_view("lib64")};

// What a program loads by its name alone: a Java class path, Windows programs and libraries.
constexpr std::array loadedExtensions{std::string_view("jar"), std::string_view("exe"), std::string_view("dll"), std::string_view("pyd"),
                                      std::string_view("dylib")};

// Extensions programs are given that may be ELF files: a game's "Game.x86_64", an installer's ".run".
constexpr std::array programExtensions{std::string_view("x86_64"), std::string_view("x86"), std::string_view("bin"), std::string_view("run"),
                                       std::string_view("appimage"), std::string_view("node")};

// A runtime's standard library or installed package, by a file and a folder that stand together.
struct RuntimeMark {
    std::string_view file;
    std::string_view folder;
};
constexpr std::array runtimeMarks{RuntimeMark{"os.py", "encodings"},  // Python's standard library
                                  RuntimeMark{"DESCRIPTION", "Meta"}};  // an installed R package

std::string lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = char(std::tolower((unsigned char)c));
    return lower;
}

std::string_view extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
}

// "libssl.so", "libssl.so.3", "libQt6Core.so.6.4.2".
bool isLibraryName(std::string_view name) {
    const std::size_t so = name.find(".so");
    if (so == std::string_view::npos || so == 0) return false;
    const std::string_view rest = name.substr(so + 3);
    return rest.empty() || (rest.front() == '.' && std::all_of(rest.begin(), rest.end(), [](char c) { return c == '.' || std::isdigit((unsigned char)c); }));
}

bool hasLoadedExtension(std::string_view name) {
    const std::string extension = lowercase(extensionOf(name));
    return std::find(loadedExtensions.begin(), loadedExtensions.end(), extension) != loadedExtensions.end();
}

// A name an ELF program may have: none of a document's extensions ("go", "java", "python3.11"). Only
// a file someone may run is read to tell.
bool mayBeElf(std::string_view name) {
    const std::string_view extension = extensionOf(name);
    if (extension.empty() || std::all_of(extension.begin(), extension.end(), [](char c) { return std::isdigit((unsigned char)c); })) return true;
    const std::string lower = lowercase(extension);
    return std::find(programExtensions.begin(), programExtensions.end(), lower) != programExtensions.end();
}

bool isTreeFolder(std::string_view name) { return std::find(treeFolders.begin(), treeFolders.end(), name) != treeFolders.end(); }

const DirectoryEntry* named(const std::vector<DirectoryEntry>& entries, std::string_view name, Kind kind) {
    for (const DirectoryEntry& entry : entries)
        if (entry.type == kind && entry.name == name) return &entry;
    return nullptr;
}

// A program or a library, from the start of its ELF header; an object file or a core dump is neither.
bool isLoadedElf(const std::string& path) {
    const std::optional<std::string> head = FileContents::head(path, 64);
    if (!head) return false;
    const ElfImage kind = ElfImages::kindOfBytes(*head);
    return kind == ElfImage::program || kind == ElfImage::library;
}

std::string child(const std::string& folder, std::string_view name) { return (folder == "/" ? std::string() : folder) + "/" + std::string(name); }

std::string_view nameOf(std::string_view folder) { return folder.substr(folder.rfind('/') + 1); }

// The install a folder holding a program stands for: the top of its tree where it is the tree's bin/
// or a folder of one, but never `base` or above.
std::string treeTop(const std::string& install, const std::string& base) {
    std::string top = install;
    for (int up = 0; up < 2 && top != base; ++up) {
        const std::string above = folderOfText(top);
        if (isTreeFolder(nameOf(top))) return above != base && liesWithinText(above, base) ? above : install;
        top = above;
    }
    return install;
}

}  // namespace

bool ProgramInstalls::mayShow(std::string_view folder, const DirectoryEntry& entry) {
    const std::string_view name = entry.name;
    if (entry.type == Kind::directory)
        return isTreeFolder(name) || isTreeFolder(nameOf(folder)) ||
               std::any_of(runtimeMarks.begin(), runtimeMarks.end(), [&](const RuntimeMark& mark) { return mark.folder == name; });
    if (entry.type != Kind::file) return false;
    return isLibraryName(name) || hasLoadedExtension(name) || (entry.executable && mayBeElf(name)) ||
           std::any_of(runtimeMarks.begin(), runtimeMarks.end(), [&](const RuntimeMark& mark) { return mark.file == name; });
}

ProgramInstalls::ProgramInstalls(Listed listed) : listed_(std::move(listed)) {}

std::vector<DirectoryEntry> ProgramInstalls::entriesOf(const std::string& folder) {
    if (listed_)
        if (const std::vector<DirectoryEntry>* entries = listed_(folder)) return *entries;
    std::vector<DirectoryEntry> entries;
    DirectoryReader::read(folder, entries);
    std::erase_if(entries, [&](const DirectoryEntry& entry) { return !mayShow(folder, entry); });
    return entries;
}

bool ProgramInstalls::holdsProgram(const std::string& folder) {
    return holds_.of(folder, [&] {
        const std::vector<DirectoryEntry> entries = entriesOf(folder);
        bool holds = std::any_of(runtimeMarks.begin(), runtimeMarks.end(),
                                 [&](const RuntimeMark& mark) { return named(entries, mark.file, Kind::file) && named(entries, mark.folder, Kind::directory); });
        for (const DirectoryEntry& entry : entries) {
            if (holds) break;
            if (entry.type != Kind::file) continue;
            holds = isLibraryName(entry.name) || hasLoadedExtension(entry.name) || (entry.executable && mayBeElf(entry.name) && isLoadedElf(child(folder, entry.name)));
        }
        return holds;
    });
}

bool ProgramInstalls::topsProgramTree(const std::string& folder) {
    for (const DirectoryEntry& entry : entriesOf(folder)) {
        if (entry.type != Kind::directory || !isTreeFolder(entry.name)) continue;
        const std::string tree = child(folder, entry.name);
        if (holdsProgram(tree)) return true;
        // Often one folder down, one per system: "bin/x86_64-linux", "bin/x64", "lib/x86_64-linux-gnu".
        for (const DirectoryEntry& inner : entriesOf(tree))
            if (inner.type == Kind::directory && !inner.name.starts_with('.') && holdsProgram(child(tree, inner.name))) return true;
    }
    return false;
}

std::optional<std::string> ProgramInstalls::installHolding(const std::string& path, const std::string& base) {
    // The folders from the copy's own up to the base, each answered once: the install at or above it.
    std::vector<std::string> asked;
    std::optional<std::string> found;
    for (std::string folder = folderOfText(path); folder != base && liesWithinText(folder, base); folder = folderOfText(folder)) {
        {
            std::lock_guard guard(lock_);
            if (const auto known = installs_.find(folder); known != installs_.end()) {
                found = known->second;
                break;
            }
        }
        asked.push_back(folder);
        if (isInstall(folder)) {
            found = treeTop(folder, base);
            break;
        }
    }
    std::lock_guard guard(lock_);
    for (const std::string& folder : asked) installs_.emplace(folder, found);
    return found;
}
