#!/usr/bin/env bash
# The application's keys under a real X display with a window manager, sent as a user types them:
# Ctrl+, opens the settings window, Ctrl+O the folder panel and Escape closes it, Ctrl+Q quits.
# Usage: shortcuts.sh PATH-TO-quarnell
set -u
app=$1
source "$(dirname "$0")/session.sh"

mkdir -p "$XDG_CONFIG_HOME/Quarnell"
printf '[General]\ndidCompleteOnboarding=true\nappLanguage=en\n' >"$XDG_CONFIG_HOME/Quarnell/Quarnell.ini"
"$app" >"$session_dir/app.log" 2>&1 &
app_pid=$!

main=$(wait_for_window '^Quarnell$') || fail "the main window did not appear"
xdotool windowactivate --sync "$main"
xdotool key ctrl+comma
wait_for_window '^Settings$' >/dev/null || fail "Ctrl+, opened no settings window"

xdotool windowactivate --sync "$main"
xdotool key ctrl+o
for _ in $(seq 50); do [[ $(xdotool getactivewindow) != "$main" ]] && break; sleep 0.1; done
panel=$(xdotool getactivewindow)
[[ $panel != "$main" ]] || fail "Ctrl+O opened no folder panel"
xdotool key Escape
for _ in $(seq 50); do xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$panel" || break; sleep 0.1; done
! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$panel" || fail "Escape left the folder panel open"

xdotool windowactivate --sync "$main"
xdotool key ctrl+q
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$app_pid" 2>/dev/null || fail "Ctrl+Q did not quit"
echo "shortcuts: Ctrl+, Ctrl+O Escape Ctrl+Q work under X"
