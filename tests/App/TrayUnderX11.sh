#!/usr/bin/env bash
# The tray item on a real X11 tray: under Xvfb with trayer (an XEmbed system tray), the icon
# appears in the tray, a click on it opens the panel next to it, and Escape closes the panel. With
# openbox as the window manager it also closes the main window (the app stays in the tray) and quits
# from the panel (the process ends).
# Usage: TrayUnderX11.sh QUARNELL_BINARY [DISPLAY_NUMBER]   (exit 77: skipped, tools missing)
set -uo pipefail
app=${1:?usage: TrayUnderX11.sh QUARNELL_BINARY [DISPLAY_NUMBER]}
[[ -x $app ]] || { echo "SKIP: $app is not built (this build has only the test programs)"; exit 77; }
for tool in Xvfb trayer xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup installs it)"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- app log"; cat "$work/app.log" 2>/dev/null; exit 1; }

# Poll a condition for up to 20 s.
until_true() {
  for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
  return 1
}

if [[ -n ${2:-} ]]; then
  display=":$2"
  Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
else
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  until_true test -s "$work/display" || fail "Xvfb did not start"
  display=":$(head -n1 "$work/display")"
fi
export DISPLAY=$display
until_true xwininfo -root >/dev/null 2>&1 || fail "Xvfb on $display does not answer"

if command -v openbox >/dev/null; then
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  until_true bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || fail "openbox did not start"
fi

trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
until_true bash -c 'xwininfo -root -tree | grep -q "(\"panel\" \"trayer\")"' || fail "trayer did not start"

mkdir -p "$work/home"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" XDG_DATA_HOME="$work/home/.local/share" \
  QT_QPA_PLATFORM=xcb "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

# The icon: the app's window embedded in trayer's panel.
icon_line() { xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { inside = 1; next } inside && /\("quarnell" "Quarnell"\)/ { print; exit }'; }
until_true bash -c "$(declare -f icon_line); [ -n \"\$(icon_line)\" ]" || fail "no tray icon in trayer"
line=$(icon_line)
# "... 22x26+0+0  +1577+1": size and absolute position
size=$(grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' <<<"$line" | head -n1)
absolute=$(grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$line")
w=${size%%x*}; rest=${size#*x}; h=${rest%%+*}
ax=$(cut -d+ -f2 <<<"$absolute"); ay=$(cut -d+ -f3 <<<"$absolute")
echo "icon: ${w}x${h} at $ax,$ay"
cx=$((ax + w / 2)); cy=$((ay + h / 2))

# The panel: the app's top-level window 360 wide.
panel_line() { xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "Quarnell": \("quarnell" "Quarnell"\)  360x' | head -n1; }
panel_mapped() {
  local id; id=$(panel_line | awk '{print $1}')
  [[ -n $id ]] && xwininfo -id "$id" | grep -q "IsViewable"
}

xdotool mousemove "$cx" "$cy" click 1
until_true panel_mapped || fail "clicking the icon opened no panel"
panel=$(panel_line)
px=$(grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$panel" | cut -d+ -f2)
py=$(grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$panel" | cut -d+ -f3)
echo "panel at $px,$py"
# Next to the icon: just below it (the tray is at the top), and across its centre unless pushed in from the screen's edge.
(( py >= ay + h && py <= ay + h + 16 )) || fail "the panel is not below the icon (panel y $py, icon bottom $((ay + h)))"
(( px <= cx && cx <= px + 360 )) || fail "the panel does not lie across the icon (panel x $px, icon centre $cx)"

xdotool key Escape
until_true bash -c "$(declare -f panel_line panel_mapped); ! panel_mapped" || fail "Escape did not close the panel"

kill -0 "$app_pid" 2>/dev/null || fail "the app ended"
if command -v openbox >/dev/null; then
  main=$(xwininfo -root -tree | grep -E '"Quarnell": \("quarnell" "Quarnell"\)  1320x' | awk '{print $1}' | head -n1)
  [[ -n $main ]] || fail "no main window"
  xdotool windowactivate --sync "$main" key alt+F4
  until_true bash -c "! xwininfo -id $main 2>/dev/null | grep -q IsViewable" || fail "the main window did not close"
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || fail "closing the main window ended the app although a tray holds it"
  xdotool mousemove "$cx" "$cy" click 1
  until_true panel_mapped || fail "the panel did not open again"
  panel=$(panel_line)
  size=$(grep -oE '360x[0-9]+' <<<"$panel"); ph=${size#360x}
  px=$(grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$panel" | cut -d+ -f2)
  py=$(grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$panel" | cut -d+ -f3)
  # The quit button: the footer's last, 38 high, 12 in from the panel's bottom-right corner.
  xdotool mousemove $((px + 360 - 12 - 20)) $((py + ph - 12 - 19)) click 1
  until_true bash -c "! kill -0 $app_pid 2>/dev/null" || fail "quit did not end the process"
fi
echo "1 passed, 0 failed"
