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
active_is_not() { [[ $(xdotool getactivewindow) != "$1" ]]; }
window_gone() { ! xdotool search --onlyvisible --name . | grep -qx "$1"; }
wait_until active_is_not "$main" || fail "Ctrl+O opened no folder panel"
panel=$(xdotool getactivewindow)
xdotool key Escape
wait_until window_gone "$panel" || fail "Escape left the folder panel open"

xdotool windowactivate --sync "$main"
xdotool key ctrl+q
app_ended() { ! kill -0 "$app_pid"; }
wait_until app_ended || fail "Ctrl+Q did not quit"
echo "shortcuts: Ctrl+, Ctrl+O Escape Ctrl+Q work under X"
