#!/usr/bin/env bash
# Builds the Windows installer (NSIS), the portable zip with the demo and
# the Windows Installer package for deployment (wixl) into
# build-windows/package/. Prints the three files' paths.
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

# wixl reads its sources beside the .wxs; the package carries the program
# without its debugging information.
msi="$out/msi"
mkdir -p "$msi"
cp "$root/packaging/windows/dorvel.wxs" "$build/ui/win32/dorvel.ico" "$msi/"
x86_64-w64-mingw32-strip -o "$msi/dorvel.exe" "$build/ui/win32/dorvel.exe"
(cd "$msi" && wixl -a x64 -D SourceDir=. -D Version="$version" -o "$out/dorvel-$version.msi" dorvel.wxs) \
  2>/dev/null
rm -rf "$msi"
echo "$out/dorvel-$version-setup.exe"
echo "$out/dorvel-$version-portable.zip"
echo "$out/dorvel-$version.msi"
