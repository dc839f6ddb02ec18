#pragma once

#include <cstddef>

// The number of files this process may hold open. The soft limit is often 1024 while the hard
// limit is far higher; a duplicate search opens many files at once.
namespace OpenFileLimit {

// Raises the soft limit to the hard limit, as file tools do at start. Leaves it where it is when the
// kernel refuses.
void raiseToHard();

// How many more descriptors this process may open now: the soft limit less those already open.
std::size_t available();

}  // namespace OpenFileLimit
