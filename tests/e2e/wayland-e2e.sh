#!/usr/bin/env bash
# End to end on a Wayland desktop: the real program on a headless sway,
# driven from the keyboard through a virtual one (wtype), judged by the mail
# tool's journal and the settings file. sway refuses to run as root, so as
# root both run as an ordinary user. Usage: wayland-e2e.sh DORVEL TOMAIL.
set -uo pipefail
dorvel="$1"
tomail="$2"
here="$(cd "$(dirname "$0")" && pwd)"
export LC_ALL=C.UTF-8

fail() { echo "E2E wayland FAILED: $*" >&2; exit 1; }
cgrep() { LC_ALL=C grep -a "$@"; }
# shellcheck source=waits.sh
source "$here/waits.sh"

work="$(mktemp -d)"
runtime="$work/runtime"
cleanup() {
  [ -n "${keyboard:-}" ] && kill "$keyboard" 2>/dev/null
  [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
  [ -n "${sway:-}" ] && kill "$sway" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/mail" "$work/letters" "$work/run" "$work/home" "$runtime"
printf 'L_KIEV Kiev\r\nL_LVIV Lviv\r\n' > "$work/mail/LUSERS.NDE"
cp "$tomail" "$work/mail/TOMAIL"
printf 'note' > "$work/letters/NOTE.TXT"
printf 'report' > "$work/letters/REPORT.DOC"
ini="$work/run/dorvel.ini"
printf '[Form1]\r\nTop=120\r\nLeft=150\r\nHeight=600\r\nWidth=800\r\n[Options]\r\nLetters=%s\r\n' \
  "$work/letters" > "$ini"
printf 'output HEADLESS-1 resolution 1280x1024\n' > "$work/sway.config"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  # The build folder need not be open to other users.
  cp "$dorvel" "$work/dorvel" && chmod 755 "$work/dorvel" && dorvel="$work/dorvel"
  chown -R 65534:65534 "$work"
  chmod 755 "$work"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 700 "$runtime"
session=(env -i HOME="$work/home" XDG_RUNTIME_DIR="$runtime" PATH="$PATH")

"${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
  WLR_RENDERER=pixman sway -c "$work/sway.config" > "$work/sway.log" 2>&1 &
sway=$!
socket() { ls "$runtime" 2>/dev/null | cgrep -E '^wayland-[0-9]+$' | head -1; }
started() { [ -n "$(socket)" ]; }
until_true started || fail "sway did not start: $(tail -5 "$work/sway.log")"
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$(socket)"
export SWAYSOCK="$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -1)"
# One keyboard for the whole session: a seat that loses its last keyboard
# between two presses makes the program drop the next one.
wtype -s 600000 &
keyboard=$!

(cd "$work/run" && exec "${as_user[@]}" "${session[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
  QT_QPA_PLATFORM=wayland ZOVOVOD="$work/mail" "$dorvel" 2>"$work/dorvel.err") &
pid=$!
shown() { swaymsg -t get_tree 2>/dev/null | cgrep -q '"app_id": "dorvel"'; }
until_true shown || fail "the main window never appeared: $(cat "$work/dorvel.err")"
sleep 0.5
key() { wtype "$@"; sleep 0.3; }
# The recipients have the keyboard: tick the first, go to the letters, take
# the second, go round to the send button and press it.
key -k space
key -k Tab
key -k Down
key -k Tab
[ -n "${DORVEL_SHOT:-}" ] && grim "$DORVEL_SHOT"
key -k space
lines() { [ -f "$work/mail/journal.txt" ] && [ "$(wc -l < "$work/mail/journal.txt")" -ge 1 ]; }
until_true lines || fail "the keyboard's send did not run the mail tool"
cgrep -q $'\t-NL_KIEV\t' "$work/mail/journal.txt" || fail "sent to: $(cat "$work/mail/journal.txt")"
cgrep -q 'REPORT.DOC' "$work/mail/journal.txt" || fail "sent: $(cat "$work/mail/journal.txt")"

# Closed as the compositor closes a window.
swaymsg kill > /dev/null
until_true eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end when its window was closed"
pid=""
cgrep -q $'^L_KIEV Kiev=1\r$' "$ini" || fail "the tick was not saved: $(tr -d '\r' < "$ini")"
# Wayland never tells a program where its window is: the stored place stays.
cgrep -q $'^Top=120\r$' "$ini" && cgrep -q $'^Left=150\r$' "$ini" ||
  fail "the stored place was overwritten: $(cgrep -E '^(Top|Left)=' "$ini" | tr -d '\r' | tr '\n' ' ')"
cgrep -q $'^Width=[1-9][0-9]*\r$' "$ini" || fail "no width was written"
echo "E2E wayland passed"
