#!/usr/bin/env bash
# Builds the Windows installer and the portable zip, then, under Wine on a
# virtual display: installs silently, starts the installed program through
# its Start-menu shortcut (it must show its window and write dorvel.ini in
# the shortcut's working folder), uninstalls silently and checks that what
# was installed is gone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mapfile -t made < <("$root/scripts/windows-package.sh")
setup="${made[0]}"
portable="${made[1]}"
listing="$(unzip -l "$portable")"
for file in dorvel.exe start-demo.cmd mail/TOMAIL.EXE mail/LUSERS.NDE letters/REPORT.DOC; do
  grep -q "dorvel/$file" <<<"$listing" || { echo "the zip lacks $file" >&2; exit 1; }
done

if [ -z "${CHECK_INSIDE:-}" ]; then
  export CHECK_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# A prefix of its own: nothing from the test suites' prefix may help.
export WINEPREFIX="$root/build-windows/package/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
openbox >/dev/null 2>&1 &
wm=$!
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true; kill $wm 2>/dev/null || true' EXIT
"$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1 || true

users="$WINEPREFIX/drive_c/users/$(id -un)"
program="$users/AppData/Local/Programs/Dorvel"
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Dorvel/Dorvel.lnk"
settings="$users/AppData/Roaming/Dorvel"
fail() { echo "windows package: $*" >&2; exit 1; }
# shellcheck source=../tests/e2e/waits.sh
source "$root/tests/e2e/waits.sh"
# shellcheck source=../tests/e2e/keys.sh
source "$root/tests/e2e/keys.sh"

"$root/scripts/wine-run.sh" "$setup" /S >/dev/null 2>&1
until_true test -f "$program/dorvel.exe" || fail "dorvel.exe was not installed"
until_true test -f "$shortcut" || fail "no Start-menu shortcut"
test -f "$program/uninstall.exe" || fail "no uninstaller"

# A mail directory for the installed program to start on.
mail="$(mktemp -d)"
printf 'L_KIEV Kiev\r\n' > "$mail/LUSERS.NDE"
export ZOVOVOD="Z:${mail//\//\\}"
"$root/scripts/wine-run.sh" start /unix "$shortcut" >/dev/null 2>&1 &
window=""
for _ in $(seq 600); do
  window="$(xdotool search --onlyvisible --name '^\.$' 2>/dev/null | head -1)" && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the installed program did not show its window"
for _ in $(seq 30); do
  xdotool search --onlyvisible --name '^\.$' >/dev/null 2>&1 || break
  alt_f4 "$window" || true
  sleep 1
done
until_true test -f "$settings/dorvel.ini" || fail "dorvel.ini was not written in the shortcut's folder"
grep -aq "L_KIEV Kiev=0" "$settings/dorvel.ini" || fail "the settings file lacks the recipient"
rm -rf "$mail"

"$root/scripts/wine-run.sh" "$program/uninstall.exe" /S >/dev/null 2>&1
until_true test ! -e "$program/dorvel.exe" || fail "the uninstaller left dorvel.exe"
until_true test ! -e "$shortcut" || fail "the uninstaller left the shortcut"
until_true test ! -e "$program" || fail "the uninstaller left its folder"
test -f "$settings/dorvel.ini" || fail "the uninstaller took the operator's settings"
echo "the Windows installer installs, starts the program, and uninstalls cleanly"
