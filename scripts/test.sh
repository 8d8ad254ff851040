#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite: the Linux
# build's, then the Windows build's (cross-compiled, run under Wine).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows
# The 32-bit build is compiled and linked; no 32-bit program runs here.
cmake --preset windows-i686 >/dev/null
cmake --build --preset windows-i686
# One wineserver for all the suites, in the build's own prefix.
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own services start with the prefix and stay with the server: start
# them here, away from ctest's output pipes, which they would hold open.
"$root/scripts/wine-run.sh" wineboot.exe --init >/dev/null 2>&1 || true
ctest --preset windows
