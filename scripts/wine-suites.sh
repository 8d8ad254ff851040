#!/usr/bin/env bash
# Runs the Windows build's suites under Wine on the display it is given
# (scripts/test.sh starts it under xvfb-run), with a window manager, as
# Wine waits for one before it counts a window as shown.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
openbox >/dev/null 2>&1 &
wm=$!
# One wineserver for all the suites, started on this display: a server left
# from an earlier run may belong to none.
wineserver -k 2>/dev/null || true
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true; kill $wm 2>/dev/null || true' EXIT
# Wine's own services start with the prefix and stay with the server: start
# them here, away from ctest's output pipes, which they would hold open.
"$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1 || true
# A second drive on another file system (memory), for the moves that copy
# across volumes.
other="$(mktemp -d /dev/shm/dorvel-drive-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$other"; wineserver -k 2>/dev/null || true; kill $wm 2>/dev/null || true' EXIT
ln -sfn "$other" "$WINEPREFIX/dosdevices/y:"
export DORVEL_OTHER_DRIVE='Y:\'
cd "$root"
ctest --preset windows
