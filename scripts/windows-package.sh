#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable zip with the demo
# into build-windows/package/. Prints the two files' paths.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" >&2
"$root/scripts/build.sh" windows >&2
build="$root/build-windows"
out="$build/package"
version="$(sed -n 's/^project(dorvel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
rm -rf "$out"
mkdir -p "$out/portable/dorvel/mail" "$out/portable/dorvel/letters"

makensis -V2 -DSOURCE="$build/ui/win32" -DVERSION="$version" \
  -DOUTFILE="$out/dorvel-$version-setup.exe" "$root/packaging/windows/dorvel.nsi" >&2

portable="$out/portable/dorvel"
cp "$build/ui/win32/dorvel.exe" "$portable/"
cp "$build/tools/TOMAIL.exe" "$portable/mail/TOMAIL.EXE"
cp "$root/demo/mail/LUSERS.NDE" "$portable/mail/"
cp -r "$root/demo/letters/." "$portable/letters/"
cp "$root/packaging/windows/start-demo.cmd" "$portable/"
# Names as UTF-8 with the zip's UTF-8 flag, which Windows' own extractor
# needs to read "Звіт за листопад.txt" right.
(cd "$out/portable" && zip -qr -UN=UTF8 "$out/dorvel-$version-portable.zip" dorvel)
rm -rf "$out/portable"
echo "$out/dorvel-$version-setup.exe"
echo "$out/dorvel-$version-portable.zip"
