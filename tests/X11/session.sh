# Sourced by the tests that drive the real application under a virtual X display: starts Xvfb on a free
# display with openbox as the window manager and a fresh home, and stops them on exit. Skips (77) where
# the tools, or the application itself (a build of the test programs only), are missing.
[[ -x ${app:-} ]] || { echo "skipped: the application is not built here"; exit 77; }
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

session_dir=$(mktemp -d)
export HOME="$session_dir/home" XDG_CONFIG_HOME="$session_dir/home/.config" XDG_DATA_HOME="$session_dir/home/.local/share"
export XDG_CACHE_HOME="$session_dir/home/.cache" XDG_RUNTIME_DIR="$session_dir/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# QUARNELL_TEST_DISPLAY=N takes display :N, where display numbers are shared out; else the first free one.
Xvfb ${QUARNELL_TEST_DISPLAY:+":$QUARNELL_TEST_DISPLAY"} -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $session_dir/display ]] && break; sleep 0.1; done
[[ -s $session_dir/display ]] || { echo "Xvfb did not start"; cat "$session_dir/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$session_dir/display")"

session_end() {
  kill $(jobs -p) 2>/dev/null
  kill "$openbox_pid" "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$session_dir"
}
trap session_end EXIT

# Runs the command until it succeeds, for up to 30 s (a loaded machine starts windows slowly).
wait_until() {
  for _ in $(seq 300); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Windows mapped before the window manager is up may stay unmanaged; it is up once it names itself on
# the root window. Right after a server of the same number ends, a first connection can still fail:
# a window manager that could not connect is started again.
wait_until xprop -root
start_openbox() {
  openbox >"$session_dir/openbox.log" 2>&1 &
  openbox_pid=$!
}
start_openbox
window_manager_ready() {
  kill -0 "$openbox_pid" 2>/dev/null || start_openbox
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}
if ! wait_until window_manager_ready; then
  echo "openbox did not start on $DISPLAY"
  kill -0 "$openbox_pid" 2>/dev/null && echo "  openbox is running" || echo "  openbox has ended"
  sed 's/^/  openbox: /' "$session_dir/openbox.log"
  sed 's/^/  xvfb: /' "$session_dir/xvfb.log"
  xprop -root 2>&1 | head -n 5 | sed 's/^/  root: /'
  exit 1
fi

# Waits for a visible window whose name matches; prints its id.
wait_for_window() {
  wait_until xdotool search --onlyvisible --name "$1" || return 1
  xdotool search --onlyvisible --name "$1" | head -n1
}

fail() {
  echo "FAILED: $*"
  [[ -n ${app_pid:-} ]] && { kill -0 "$app_pid" 2>/dev/null && echo "  the app is running" || echo "  the app has ended"; }
  xdotool search --name . 2>/dev/null | while read -r w; do echo "  window $w: $(xdotool getwindowname "$w" 2>/dev/null)"; done | head -n 10
  [[ -f $session_dir/app.log ]] && sed 's/^/  app: /' "$session_dir/app.log" | tail -n 20
  exit 1
}
