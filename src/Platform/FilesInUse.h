#pragma once

#include "Foundation/PlaceIndex.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// What the user's running processes other than this one hold inside the given folders: the files
// each has open or mapped, and the folder it works in, each labelled with the process's program.
// Read from <proc> once, for a whole load. The folders are located paths; the processes' paths are
// machine paths, taken below the roots' root. What lies outside every folder is left out: a process
// maps dozens of libraries, and none of them is asked about.
namespace FilesInUse {

PlaceIndex read(const SystemRoots& roots, const std::vector<std::filesystem::path>& folders);

}  // namespace FilesInUse
