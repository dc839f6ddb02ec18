#pragma once

#include "Platform/DirectoryEntry.h"

#include <functional>
#include <string>
#include <vector>

// Lists one directory in bulk: getdents64 into one 256 KiB buffer per thread, and statx relative to
// the directory only for entries whose sizes or type the listing does not give (regular files and
// entries of unknown type). Follows no symbolic link and keeps no state; safe on any number of threads.
namespace DirectoryReader {

// Appends the entries of the directory at `path` (all but "." and "..") in the order the file system
// returns them; never clears `into`. False, with nothing appended, when the directory cannot be opened
// (missing, not a directory, a symbolic link, no permission) or its first read fails. A later failed
// read ends the listing with what was read so far and still returns true.
// In a folder of thousands of files, the statx calls are split across up to `statusThreads` threads.
// With `handOver`, a long listing is handed over in batches as it is read: `handOver` gets `into`
// holding a batch and must empty it; the last part stays in `into`, so memory follows the batch,
// not the folder.
using BatchHandler = std::function<void(std::vector<DirectoryEntry>& batch)>;
bool read(const std::string& path, std::vector<DirectoryEntry>& into, const BatchHandler& handOver = {}, int statusThreads = 1);

}  // namespace DirectoryReader
