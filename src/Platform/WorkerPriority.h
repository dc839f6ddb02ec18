#pragma once

// The Linux counterpart of running a walk at user-initiated rather than user-interactive priority:
// the calling thread's nice value is raised by ten (Linux keeps one per thread), so the walk's
// many workers yield the processor to the interface thread on a busy machine. Failing to change it
// changes nothing else.
namespace WorkerPriority {

void yieldToInterface();

}  // namespace WorkerPriority
