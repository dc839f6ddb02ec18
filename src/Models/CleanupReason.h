#pragma once

// Why a cleanup candidate is listed for review rather than ticked: it is not idle, cannot be moved
// by the user, something outside relies on it, or it is not rebuilt by itself (an editor's unsaved
// work or history among them). `none` for a folder of plain cached files that no process holds.
enum class CleanupReason { none, holdsWhole, runsProgram, inUse, desktopOwn, notRebuilt, mount, cannotMove, linked, holdsProgram, unsavedWork, editHistory };
