#pragma once

#include "Foundation/PlaceIndex.h"
#include "Platform/SystemRoots.h"

// What the user's running processes other than this one hold: the files each has open or mapped, and
// the folder it works in, each labelled with the process's program. Read from <proc> once, for a whole load; the paths
// are machine paths, taken below the roots' root.
namespace FilesInUse {

PlaceIndex read(const SystemRoots& roots);

}  // namespace FilesInUse
