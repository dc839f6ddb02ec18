#pragma once

#include <functional>

// Replaces the running instance by a new one, to apply a change of language.
namespace AppRelauncher {

// Starts a new instance of this executable, then quits this one. On failure, or when the settings
// file does not hold every change (the language among them), it beeps and this instance keeps
// running. Runs at most once per process: a second call does nothing.
// Call on the main thread.
void relaunch();

// What relaunch() uses; the app installs the real beep, tests install fakes.
struct Hooks {
    std::function<bool()> startNewInstance;
    std::function<void()> beep;
    std::function<void()> quit;
};
void setHooks(Hooks hooks);

}  // namespace AppRelauncher
