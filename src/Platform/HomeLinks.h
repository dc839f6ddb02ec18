#pragma once

#include "Foundation/PlaceIndex.h"
#include "Platform/MountPoints.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <vector>

// The symbolic links of the home folder that point into the given folders (located paths: the
// caches a load proposes, or the folders that list them), each labelled with the folder the link
// lies in, or the tool's folder it lies below ("/home/ana/rproj/renv/library"). Read once for a whole load: the home's folders, hidden
// ones too, down to three levels below it, and deeper in the folders tools fill with links: a
// project's "renv/library", a Python environment's ".venv/lib", "node_modules". The given folders,
// the trashes and other file systems are not entered, and no link is followed.
namespace HomeLinks {

PlaceIndex read(const SystemRoots& roots, const std::vector<std::filesystem::path>& folders, const MountPoints& mounts);

}  // namespace HomeLinks
