#pragma once

#include "Platform/SystemRoots.h"
#include "Support/TempTree.h"

#include <filesystem>

// A /proc that lists only the processes this test process started, and theirs, each entry a link to
// the kernel's own entry. Whatever else runs on the machine, another run of the suite with programs
// of the same names included, never shows in it. The list is taken anew at each `refresh`, as the
// kernel's is at each look.
class OwnProcesses {
public:
    OwnProcesses();

    // Fixture roots under `tree` whose processes are these.
    SystemRoots roots(const std::filesystem::path& tree) const;
    // Lists the processes that descend from this one as they are now.
    void refresh() const;

private:
    TempTree folder_;
};
