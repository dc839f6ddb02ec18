#pragma once

#include "Foundation/Instant.h"
#include "Models/DevProject.h"
#include "Views/DesignSystem/Pill.h"

#include <optional>

// What a project is doing now: still running after the user stopped it, stopping, in a folder whose
// file system does not answer, working (active in the last minute), barely used (running for more
// than a day with almost no processor time), or idle for a while (quiet for more than 5 minutes).
// Hidden, taking no room, when none of these holds.
class ProjectStatusPill : public Pill {
    Q_OBJECT
public:
    enum class Status { stillRunning, stopping, folderNotAnswering, working, barelyUsed, idle };
    struct Shown {
        Status status;
        QString text;
    };

    ProjectStatusPill(const DevProject& project, Instant now, QWidget* parent = nullptr);

    // The first rule that holds, with its text; none when the pill shows nothing.
    // What needs the user's eye first: a stop that did not stop, one under way, a silent folder.
    static std::optional<Shown> notice(const DevProject& project);
    static std::optional<Shown> status(const DevProject& project, Instant now);
    // Active within the last minute: the status pill's and the compact row's green dot's test.
    static bool isWorking(const DevProject& project, Instant now);
};
