#pragma once

#include <chrono>

// Ending the process without joining threads that may never return: a worker blocked in the kernel
// on a mount that does not answer, or busy in a call that no stop request reaches, would otherwise
// keep the process alive for as long as that takes.
namespace ProcessEnd {

// Held over what must be done whole or not at all (a trash info file claimed, written and its item
// renamed beside it; a settings file written and renamed into place), so that ending the process never
// cuts one in half. Steps may run on any thread at once; never nest them.
class Step {
public:
    Step();
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
};

// Ends the process with `status` once the steps under way have finished, or `stepLimit` has passed
// (a step stuck on a mount that does not answer can be finished by no one); a step not begun by then
// never begins. Runs no destructors and joins no thread.
[[noreturn]] void now(int status, std::chrono::milliseconds stepLimit);

}  // namespace ProcessEnd
