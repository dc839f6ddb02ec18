#pragma once

#include <chrono>

// Quitting ends the process promptly, whatever its workers are doing. When the application is about
// to quit, every background job is asked to stop, and the windows and services are then torn down as
// usual, joining the workers as they stop. A worker that no stop request reaches (a read blocked on
// a mount that does not answer, an icon still being drawn, a walk stuck in a folder that never lists)
// would hold the process alive with its windows gone: if the process is still there `grace` after
// quitting began, its child tools are killed and it ends at once, without joining any thread, as soon
// as the settings and trash writes under way are whole (see ProcessEnd).
namespace QuitDeadline {

// Call once, right after the application object is made, before anything else connects to its
// aboutToQuit: the slots that wait for workers then run with the deadline already set.
void install(std::chrono::milliseconds grace = std::chrono::milliseconds(500));

}  // namespace QuitDeadline
