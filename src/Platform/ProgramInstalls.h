#pragma once

#include "Foundation/FolderAnswers.h"
#include "Platform/DirectoryEntry.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Tells the folders that hold a program's install: a folder holding a program or what a program
// loads (an ELF executable or shared library, the .jar files of a class path, Windows .exe and .dll
// files, a runtime's standard library such as Python's or an installed R package), and the folder
// above its tree's bin/, lib/, libexec/ or the like that holds one, there or one folder down
// ("ide/bin/fsnotifier" makes "ide" an install, "texlive/2024/bin/x86_64-linux/pdflatex" makes
// "2024" one). Everything below an install is part of it: a game's data beside its executable, an
// SDK's sources beside its bin/. Programs install themselves wherever they are unpacked, so no list
// of names can say where they are; what is in the folder can.
//
// Entries come from `listed` where it has a folder's (a walk that kept what `mayShow` lets through),
// else from reading the folder. An ELF file is told by its first bytes, read only for the few files
// someone may run whose names may be a program's. Each folder is looked at once. Safe to ask from any number of threads.
class ProgramInstalls {
public:
    // The entries of a folder a caller already listed, or nothing to have it read from disk.
    using Listed = std::function<const std::vector<DirectoryEntry>*(const std::string& folder)>;

    // Whether an entry of this name and kind, in the folder `folder`, may show an install: a walk
    // keeps only these.
    static bool mayShow(std::string_view folder, const DirectoryEntry& entry);

    explicit ProgramInstalls(Listed listed = {});

    // Whether `folder` holds a program, a library or a runtime's standard library itself.
    bool holdsProgram(const std::string& folder);
    // Whether `folder` is the top of a tree whose bin/, lib/ or libexec/ holds a program or library,
    // itself or in a folder of its own ("bin/x64", "lib/x86_64-linux-gnu").
    bool topsProgramTree(const std::string& folder);
    // Whether `folder` is an install by either rule.
    bool isInstall(const std::string& folder) { return holdsProgram(folder) || topsProgramTree(folder); }

    // The install `path` lies in: the nearest folder above it, below `base` (which itself is never
    // taken for one), that is an install, named by the top of its tree where it is a tree's bin/ or a
    // folder of one; nothing when there is none.
    std::optional<std::string> installHolding(const std::string& path, const std::string& base);

private:
    std::vector<DirectoryEntry> entriesOf(const std::string& folder);

    Listed listed_;
    std::mutex lock_;
    FolderAnswers<bool> holds_;
    std::unordered_map<std::string, std::optional<std::string>> installs_;  // the install at or above a folder
};
