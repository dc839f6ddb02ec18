#include "Foundation/Instant.h"

#include <chrono>

Instant Instant::now() {
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixSeconds(std::chrono::duration<double>(since).count());
}

Instant Instant::fromTimespec(long long seconds, long long nanoseconds) {
    // Subtract the offset first so the fraction keeps as many digits as a double allows.
    return fromReferenceSeconds(static_cast<double>(seconds - 978307200LL) + static_cast<double>(nanoseconds) / 1e9);
}
