#pragma once

#include "Platform/ProcessIdentity.h"

enum class TerminationResult {
    signalled,  // the terminate signal was delivered to that very process
    gone,       // it had already ended, or its id now belongs to another process: nothing was sent
    refused,    // an id that is never signalled: 0, 1 (init), negative (process groups) or our own
    failed,     // it is there but could not be signalled or checked (another user's process)
};

// Sends the terminate signal to one process, but only to the process that was seen: a process
// descriptor (pidfd) is opened first and pins whatever process holds the id, then its start time and
// program are checked against the identity, and the signal goes through the descriptor. Reads the
// machine's own /proc whatever roots are installed, since the signal goes to the machine's processes.
class ProcessTerminator {
public:
    static TerminationResult terminate(const ProcessIdentity& process);
};
