#!/usr/bin/env bash
# Takes the README's pictures of the Windows program under Wine on a
# virtual display: the main window on the demo, the progress window during
# a send to a slow mail tool, and the settings dialog. Writes
# docs/windows-*.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${SHOTS_INSIDE:-}" ]; then
  "$root/scripts/install-deps.sh"
  "$root/scripts/build.sh" windows
  export SHOTS_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
openbox >/dev/null 2>&1 &
wm=$!
wineserver -k 2>/dev/null || true
wineserver -p 2>/dev/null || true
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; kill $wm 2>/dev/null || true; rm -rf "$work"' EXIT
"$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1 || true

mkdir -p "$work/mail" "$work/run"
cp "$root/demo/mail/LUSERS.NDE" "$work/mail/"
cp -r "$root/demo/letters" "$work/letters"
cp "$root/build-windows/tools/TOMAIL.exe" "$work/mail/TOMAIL.EXE"
win() { printf 'Z:%s' "${1//\//\\}"; }
# shellcheck source=../tests/e2e/waits.sh
source "$root/tests/e2e/waits.sh"
# shellcheck source=../tests/e2e/keys.sh
source "$root/tests/e2e/keys.sh"
# Saves the window with the frame the window manager draws round it: the
# parent of Wine's own X window.
shoot() {
  local frame
  frame="$(xwininfo -id "$1" -children | awk '/Parent window id/ {print $4}')"
  import -window "$frame" "$root/docs/$2"
}
printf '[Options]\r\nLetters=%s\r\n[ListCheck]\r\n' "$(win "$work/letters")" > "$work/run/dorvel.ini"
# Two recipients ticked, as an operator would have them.
printf 'L_KIEV01 \xCA\xE8\xBF\xE2, \xF6\xE5\xED\xF2\xF0\xE0\xEB\xFC\xED\xE8\xE9 \xEE\xF4\xB3\xF1=1\r\n' >> "$work/run/dorvel.ini"
export ZOVOVOD="$(win "$work/mail")" DORVEL_TOMAIL_DELAY_MS=4000
(cd "$work/run" && exec "$root/scripts/wine-run.sh" "$root/build-windows/ui/win32/dorvel.exe" >/dev/null 2>&1) &
main="$(window '\.')" || { echo "the main window never appeared" >&2; exit 1; }
cx="$(xwininfo -id "$main" | awk '/Absolute upper-left X/ {print $4}')"
cy="$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
# REPORT.DOC, the fourth row of the letters view, selected.
xdotool mousemove $((cx + 250)) $((cy + 600)) click 1 key Home Down Down Down
sleep 1
mkdir -p "$root/docs"
shoot "$main" windows-main-window.png
xdotool mousemove $((cx + 21)) $((cy + 21)) click 1
progress="$(window 'Отправка почты')" || { echo "the progress window never appeared" >&2; exit 1; }
sleep 1
shoot "$progress" windows-progress-window.png
sleep 4
# The settings dialog, from the fourth toolbar button.
xdotool mousemove $((cx + 2 + 3 * 39 + 19)) $((cy + 21)) click 1
dialog="$(window 'Настройки')" || { echo "the settings dialog never appeared" >&2; exit 1; }
sleep 1
shoot "$dialog" windows-settings-dialog.png
alt_f4 "$dialog" || true
sleep 1
alt_f4 "$main" || true
sleep 2
echo "$root/docs/windows-main-window.png"
echo "$root/docs/windows-progress-window.png"
echo "$root/docs/windows-settings-dialog.png"
