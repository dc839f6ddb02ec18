#pragma once

// Whether an open folder lies on a file system of the kernel's own making (proc, sysfs, cgroup,
// devtmpfs, debugfs, tracefs, securityfs, pstore, bpf, configfs, fusectl): its files are no storage
// and no walk descends into it. Safe on any number of threads.
bool isPseudoFileSystem(int folder);
