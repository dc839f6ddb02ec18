#include "Platform/WorkerPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace WorkerPriority {

namespace {
constexpr int steps = 10;
constexpr int lowest = 19;
}  // namespace

void yieldToInterface() {
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, thread);
    if (current == -1 && errno != 0) return;
    setpriority(PRIO_PROCESS, thread, std::min(current + steps, lowest));
}

}  // namespace WorkerPriority
