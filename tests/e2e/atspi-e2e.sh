#!/usr/bin/env bash
# A screen reader's view of the running program: its AT-SPI tree on a
# session bus of its own, under a virtual display. The checks themselves are
# in atspi-check.py. Usage: atspi-e2e.sh DORVEL TOMAIL.
set -uo pipefail
dorvel="$1"
tomail="$2"
here="$(cd "$(dirname "$0")" && pwd)"
unset QT_QPA_PLATFORM
export LC_ALL=C.UTF-8

if [ -z "${E2E_INSIDE:-}" ]; then
  export E2E_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" "$@"
fi

fail() { echo "E2E screen_reader FAILED: $*" >&2; exit 1; }
cgrep() { LC_ALL=C grep -a "$@"; }
# shellcheck source=waits.sh
source "$here/waits.sh"

work="$(mktemp -d)"
cleanup() {
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/mail" "$work/letters" "$work/run"
printf 'L_KIEV Kiev\r\nL_LVIV Lviv\r\nL_ODESA Odesa\r\n' > "$work/mail/LUSERS.NDE"
cp "$tomail" "$work/mail/TOMAIL"
printf '[Options]\r\nLetters=%s\r\n[ListCheck]\r\nL_KIEV Kiev=1\r\n' "$work/letters" > "$work/run/dorvel.ini"

start_window_manager || fail "the window manager did not start"
# As a desktop with a screen reader running asks of every program.
(cd "$work/run" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ZOVOVOD="$work/mail" exec "$dorvel" 2> "$work/dorvel.err") &
pid=$!
main="$(window '\.')" || fail "the main window never appeared: $(cat "$work/dorvel.err"); windows: $(for w in $(xdotool search --name "^\.$"); do xwininfo -id "$w" | cgrep -E "Map State|geometry"; done | tr "\n" " ")"
xdotool windowactivate --sync "$main" 2>/dev/null
# Debian's own Python, which has the bindings, whatever else is first on PATH.
/usr/bin/python3 "$here/atspi-check.py" dump || fail "the tree is not what a reader needs"
/usr/bin/python3 "$here/atspi-check.py" space-event xdotool key space ||
  fail "Space was not announced"
xdotool windowactivate "$main" 2>/dev/null
xdotool key --window "$main" alt+F4 2>/dev/null
xdotool keyup Alt_L F4 2>/dev/null
until_true eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end"
pid=""
# Space unticked the first row; the reader's action ticked the third.
cgrep -q $'^L_KIEV Kiev=0\r$' "$work/run/dorvel.ini" && cgrep -q $'^L_ODESA Odesa=1\r$' "$work/run/dorvel.ini" ||
  fail "the ticks saved are not those the reader heard: $(tr -d '\r' < "$work/run/dorvel.ini")"
echo "E2E screen_reader passed"
