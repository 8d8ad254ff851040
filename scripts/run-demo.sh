#!/usr/bin/env bash
# Installs what is missing, builds, and starts dorvel on the demo.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" dev
work="$("$root/scripts/prepare-demo.sh")"
cd "$work/run"
export ZOVOVOD="$work/mail"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a "$root/build/ui/qt/dorvel"
fi
exec "$root/build/ui/qt/dorvel"
