#pragma once

class QObject;

// The animations of a widget tree: the design system's transitions and the fades between pages.
namespace Animations {

bool anyRunning(const QObject& root);

// Lets the event loop run until none of them runs: the state a user sees once things settle.
// False when one still runs after `timeoutMs`.
bool waitForEnd(const QObject& root, int timeoutMs = 5000);

}  // namespace Animations
