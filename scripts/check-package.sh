#!/usr/bin/env bash
# Builds the Debian package, validates its desktop entry, unpacks it into a
# clean folder and starts the unpacked program on the demo under a virtual
# display: the window must appear, and closing must write its settings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" dev
cd "$root/build"
rm -f dorvel_*.deb
cpack -G DEB >/dev/null
deb="$(ls dorvel_*.deb)"
echo "package: $deb"
dpkg-deb -I "$deb" | grep -E "Depends|Version"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/dorvel.desktop"
test -s "$work/root/usr/share/icons/hicolor/scalable/apps/dorvel.svg"

demo="$("$root/scripts/prepare-demo.sh" "$work/demo")"
cd "$demo/run"
export ZOVOVOD="$demo/mail"
unset QT_QPA_PLATFORM
xvfb-run -a bash -c '
  "$0" & pid=$!
  for i in $(seq 100); do
    xdotool search --name "^\.$" >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! xdotool search --name "^\.$" >/dev/null 2>&1; then
    echo "the installed program did not show its window" >&2; kill $pid; exit 1
  fi
  kill -TERM $pid; wait $pid
' "$work/root/usr/bin/dorvel"
grep -q "WindowState=0" dorvel.ini || { echo "closing did not write the settings" >&2; exit 1; }
echo "the packaged program starts on the demo and saves its settings"
