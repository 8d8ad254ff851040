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
"$root/scripts/check-windows7-imports.sh" "$root/build-windows-i686/ui/win32/dorvel.exe"
# The Windows suites draw windows: they run on a virtual display.
xvfb-run -a "$root/scripts/wine-suites.sh"
