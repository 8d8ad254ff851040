# Bounded waits for the end-to-end scripts, long enough for a loaded
# machine: sourced, not run.

# Waits up to 60 s for a shown window of that exact title (a pattern);
# prints its id.
window() {
  local id
  for _ in $(seq 600); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits up to 60 s for a condition given as a command, evaluated anew each time.
until_true() {
  for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
  return 1
}
# Starts openbox and waits until it announces itself, starting it again if
# it died: a window mapped while the window manager is still starting may
# never show. Leaves its process in wm.
start_window_manager() {
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 600); do
    LC_ALL=C xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -aq 'window id' && return 0
    kill -0 "$wm" 2>/dev/null || { openbox >/dev/null 2>&1 & wm=$!; }
    sleep 0.1
  done
  return 1
}
