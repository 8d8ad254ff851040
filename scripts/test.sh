#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite: the Linux
# build's, then the Windows build's (cross-compiled, run under Wine).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" dev
cd "$root"
ctest --preset dev

"$root/scripts/build.sh" windows
# The 32-bit build is compiled and linked; no 32-bit program runs here.
"$root/scripts/build.sh" windows-i686
# One wineserver for all the suites, in the build's own prefix.
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
# (A server left running from an earlier run is as good.)
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own services start with the prefix and stay with the server: start
# them here, away from ctest's output pipes, which they would hold open.
"$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1 || true
ctest --preset windows
