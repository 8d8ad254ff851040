# Key presses for the end-to-end scripts: sourced, not run.

# Alt+F4 to a window, as a person closes it; extra arguments go to xdotool.
# xdotool presses through XTEST when the window has the focus, and when the
# window closes on the press it fails before letting the keys go: they stay
# down in the X server, and the window manager then closes every window that
# gets the focus after. So the keys are always let go here.
alt_f4() {
  local window="$1" status
  shift
  xdotool key --window "$window" "$@" alt+F4 >/dev/null 2>&1
  status=$?
  xdotool keyup Alt_L F4 >/dev/null 2>&1
  return "$status"
}
