#!/usr/bin/env bash
# The tray item on a real X11 tray (trayer, an XEmbed system tray, under openbox): the icon appears in
# the tray, its glyph takes the colour that the tray publishes in _NET_SYSTEM_TRAY_COLORS, and with no
# colour published a dark app's light glyph keeps a dark outline on trayer's light panel; a click on
# it opens the panel just below it, Escape closes the panel, its Open brings a minimized main window
# back and closes the panel, closing the main window leaves the
# application running in the tray, the panel's settings button brings the main window back (no
# separate settings window), and the panel's Quit ends the process. Launched again with the panel's tab
# kept on a metric page, the first panel opens at the icon and the first click on its Open counts.
# Usage: tray.sh PATH-TO-quarnell
set -u
app=$1
source "$(dirname "$0")/session.sh"
for tool in trayer xwininfo xprop import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tree() { xwininfo -root -tree; }
tray_up() { tree | grep -q '("panel" "trayer")'; }
# The app's window embedded in trayer's panel: "0x… "Quarnell": ("quarnell" "Quarnell")  22x26+0+0  +1577+1".
icon_line() { tree | awk '/\("panel" "trayer"\)/ { inside = 1; next } inside && /\("quarnell" "Quarnell"\)/ { print; exit }'; }
has_icon() { [[ -n $(icon_line) ]]; }
# The panel: the app's window 360 wide.
panel_line() { tree | grep -E '^ +0x[0-9a-f]+ "Quarnell": \("quarnell" "Quarnell"\)  360x' | head -n1; }
panel_shown() {
  local id; id=$(panel_line | awk '{print $1}')
  [[ -n $id ]] && xwininfo -id "$id" | grep -q IsViewable
}
panel_hidden() { ! panel_shown; }
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
position() { grep -oE '\+-?[0-9]+\+-?[0-9]+$' <<<"$1" | tr '+' ' '; }
# The tray's selection owner: trayer's hidden window, a top-level "trayer" without a class.
tray_owner() { tree | awk '$2 == "\"trayer\":" && $3 == "()" { print $1; exit }'; }
set_tray_colour() {  # one 16-bit value for red, green and blue of all four colours
  local v=$1 values; values=$(printf "$v,%.0s" {1..12})
  xprop -id "$owner" -f _NET_SYSTEM_TRAY_COLORS 32c -set _NET_SYSTEM_TRAY_COLORS "${values%,}"
}
# How many of the icon's pixels are grey level $1 (0-255) within 6: the tray's own black or white, not
# the near-black and near-white of the app's own inks.
pixels_of() {
  import -window root -crop "${w}x${h}+${ax}+${ay}" -depth 8 txt:- | awk -F'[(),]+' -v level="$1" '
    NR > 1 && ($3 - level) ^ 2 <= 36 && ($4 - level) ^ 2 <= 36 && ($5 - level) ^ 2 <= 36 { n++ }
    END { print n + 0 }'
}
icon_in() { (( $(pixels_of "$1") >= 20 )); }
# How many of the icon's pixels have every channel below 90 (dark) or above 235 (light): on trayer's
# own light grey (about 0xDCDAD5) neither comes from the tray.
pixels_beyond() {
  import -window root -crop "${w}x${h}+${ax}+${ay}" -depth 8 txt:- | awk -F'[(),]+' -v side="$1" '
    NR > 1 && side == "dark" && $3 < 90 && $4 < 90 && $5 < 90 { n++ }
    NR > 1 && side == "light" && $3 > 235 && $4 > 235 && $5 > 235 { n++ }
    END { print n + 0 }'
}
outlined_on_light_tray() { (( $(pixels_beyond dark) >= 20 && $(pixels_beyond light) >= 20 )); }

trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false >"$session_dir/trayer.log" 2>&1 &
wait_until tray_up || fail "trayer did not start"

# A dark app: without the tray's colour its glyph is light, and only its outline shows on a light tray.
mkdir -p "$XDG_CONFIG_HOME/Quarnell"
printf '[General]\nappAppearance=dark\n' >"$XDG_CONFIG_HOME/Quarnell/Quarnell.ini"
"$app" >"$session_dir/app.log" 2>&1 &
app_pid=$!
wait_until has_icon || fail "no icon in the tray"
line=$(icon_line)
size=$(grep -oE '[0-9]+x[0-9]+\+' <<<"$line" | head -n1); size=${size%+}
read -r ax ay <<<"$(position "$line")"
w=${size%x*}; h=${size#*x}
cx=$((ax + w / 2)); cy=$((ay + h / 2))

owner=$(tray_owner)
[[ -n $owner ]] || fail "trayer's selection owner window was not found"
set_tray_colour 65535
wait_until icon_in 255 || fail "the icon did not take the tray's white ($(pixels_of 255) white pixels)"
set_tray_colour 0
wait_until icon_in 0 || fail "the icon did not take the tray's black ($(pixels_of 0) black pixels)"
# No colour from the tray: the dark app's light glyph with its dark outline on trayer's light grey.
xprop -id "$owner" -remove _NET_SYSTEM_TRAY_COLORS
wait_until outlined_on_light_tray ||
  fail "with no tray colour the dark app's icon is not light with a dark outline ($(pixels_beyond light) light, $(pixels_beyond dark) dark pixels)"
# Let the main window come up and take the focus first: the panel closes when it loses the focus.
wait_for_window '^Quarnell$' >/dev/null || fail "the main window did not appear"
sleep 1

xdotool mousemove "$cx" "$cy" click 1
wait_until panel_shown || fail "a click on the icon opened no panel"
read -r px py <<<"$(position "$(panel_line)")"
(( py >= ay + h && py <= ay + h + 16 )) || fail "the panel is not just below the icon (panel top $py, icon bottom $((ay + h)))"
(( px <= cx && cx <= px + 360 )) || fail "the panel does not lie under the icon (panel left $px, icon centre $cx)"

xdotool key Escape
wait_until panel_hidden || fail "Escape left the panel open"

# A window that closes while the tree is read fails the whole query: it is read again.
find_main() {
  main=$(tree 2>/dev/null | grep -E '"Quarnell": \("quarnell" "Quarnell"\)  1320x' | awk '{print $1}' | head -n1)
  [[ -n $main ]]
}
wait_until find_main || fail "no main window"

# A minimized main window: the panel's Open brings it back out of the dock, and the panel closes.
iconic() { xprop -id "$main" WM_STATE | grep -q 'window state: Iconic'; }
normal() { xprop -id "$main" WM_STATE | grep -q 'window state: Normal'; }
focus_left_main() { [[ $(xdotool getwindowfocus) != "$((main))" ]]; }
minimize_main() {
  xdotool windowminimize --sync "$main"
  wait_until iconic || fail "the main window could not be minimized$1 ($(xprop -id "$main" WM_STATE | tr '\n' ' '))"
  # The panel closes when the app loses the focus: let the minimized window's focus go first.
  wait_until focus_left_main || fail "the minimized main window kept the focus$1"
  sleep 1
}
# A click on the icon; the panel's place and height in px, py and ph.
open_panel() {
  xdotool mousemove "$cx" "$cy" click 1
  wait_until panel_shown || fail "$1"
  local panel; panel=$(panel_line)
  read -r px py <<<"$(position "$panel")"
  ph=$(grep -oE '360x[0-9]+' <<<"$panel"); ph=${ph#360x}
}
# Open: the footer's first button, stretched over what settings and Quit leave; 60 in from the left is on it.
click_open() { xdotool mousemove $((px + 12 + 60)) $((py + ph - 12 - 19)) click 1; }
minimize_main ""
open_panel "the panel did not open over a minimized main window"
click_open
wait_until normal || fail "Open left the minimized main window iconic ($(xprop -id "$main" WM_STATE | tr '\n' ' '))"
wait_until panel_hidden || fail "Open left the panel open"
xdotool windowactivate --sync "$main" key alt+F4
wait_until bash -c "! xwininfo -id $main 2>/dev/null | grep -q IsViewable" || fail "the main window did not close"
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "closing the main window ended the application although the tray holds it"

open_panel "the panel did not open again"
# Settings: the footer's middle button, about 42 wide, 8 left of Quit (about 76 wide), 12 from the panel's
# right edge: its centre lies some 118 left of that edge. It opens the main window itself.
xdotool mousemove $((px + 360 - 118)) $((py + ph - 12 - 19)) click 1
# Shown again, the main window may be a new X window.
main_window() { tree | grep -E '"Quarnell": \("quarnell" "Quarnell"\)  1320x' | awk '{print $1}' | head -n1; }
main_shown() { local id; id=$(main_window); [[ -n $id ]] && xwininfo -id "$id" | grep -q IsViewable; }
wait_until main_shown || fail "the settings button did not bring the main window back"
main=$(main_window)
settings_window() { xdotool search --onlyvisible --name '^Settings$'; }
sleep 1
settings_window >/dev/null && fail "the settings button opened the separate settings window"
xdotool windowactivate --sync "$main" key alt+F4
wait_until bash -c "! xwininfo -id $main 2>/dev/null | grep -q IsViewable" || fail "the main window did not close again"

open_panel "the panel did not open a third time"
# Quit: the footer's last button, 38 high, inside the panel's 12-point margin at the bottom right.
xdotool mousemove $((px + 360 - 12 - 20)) $((py + ph - 12 - 19)) click 1
wait_until app_ended || fail "Quit did not end the process"

# A fresh launch with the panel's tab kept on Memory and the main window minimized: the first click on
# the icon opens the panel at the icon, and the first click on its Open brings the window back.
ini=$XDG_CONFIG_HOME/Quarnell/Quarnell.ini
sed -i -e '/^menuBarTab=/d' -e 's/^\[General\]$/&\nmenuBarTab=memory/' "$ini"
grep -qx 'menuBarTab=memory' "$ini" || fail "the panel's tab could not be stored ($(tr '\n' ' ' <"$ini"))"
"$app" >"$session_dir/app.log" 2>&1 &
app_pid=$!
wait_until has_icon || fail "no icon in the tray after the second launch"
line=$(icon_line)
read -r ax ay <<<"$(position "$line")"
cx=$((ax + w / 2)); cy=$((ay + h / 2))
wait_until main_shown || fail "the main window did not appear after the second launch"
main=$(main_window)
minimize_main " after the second launch"
open_panel "a click on the icon opened no panel after the second launch"
# Hung from the icon or from the pointer on it: its top between the icon's middle and a little below it.
(( py > cy && py <= ay + h + 16 && px <= cx && cx <= px + 360 )) ||
  fail "the first panel of a launch is away from the icon (panel at $px,$py, icon centre $cx,$cy, icon bottom $((ay + h)))"
click_open
wait_until normal || fail "the first click on Open in the first panel of a launch left the minimized main window iconic"
wait_until panel_hidden || fail "Open left the first panel of a launch open"
echo "tray: icon in the tray, in the tray's colours or outlined without them, panel below it, Escape, Open restores a minimized window, close to tray, settings in the main window, Quit, and the first panel of a launch on a metric tab at the icon with its first click kept work under X"
