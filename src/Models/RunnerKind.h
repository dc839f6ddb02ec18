#pragma once

// What keeps running a program outside the desktop's entries, and so what the user takes away
// before its application can go.
enum class RunnerKind {
    service,       // a systemd user unit, a D-Bus session service, a Plasma autostart script
    crontab,       // a line of the user's crontab
    shellStartup,  // an alias, a function or a command in a shell's startup file
};
