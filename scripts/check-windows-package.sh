#!/usr/bin/env bash
# Builds the Windows installer and the portable zip, then, under Wine on a
# virtual display: installs silently, starts the installed program through
# its Start-menu shortcut (it must show its window and write dorvel.ini in
# the shortcut's working folder), uninstalls silently and checks that what
# was installed is gone; the same for an upgrade of each package by a newer
# one, and for the MSI as an administrator deploys it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mapfile -t made < <("$root/scripts/windows-package.sh")
setup="${made[0]}"
portable="${made[1]}"
msi="${made[2]}"
listing="$(unzip -l "$portable")"
for file in dorvel.exe start-demo.cmd mail/TOMAIL.EXE mail/LUSERS.NDE letters/REPORT.DOC; do
  grep -q "dorvel/$file" <<<"$listing" || { echo "the zip lacks $file" >&2; exit 1; }
done
# Every name outside ASCII carries the UTF-8 flag (bit 11) in the central
# directory; without it Windows' extractor reads the bytes in the OEM code page.
perl -0777 -ne 'my ($p, $bad) = (0, 0);
  while (($p = index($_, "PK\x01\x02", $p)) >= 0) {
    my $flags = unpack("v", substr($_, $p + 8, 2));
    my $name = substr($_, $p + 46, unpack("v", substr($_, $p + 28, 2)));
    if ($name =~ /[\x80-\xff]/ && !($flags & 0x800)) { print STDERR "no UTF-8 flag: $name\n"; $bad = 1 }
    $p += 46;
  }
  exit $bad' "$portable" || { echo "the zip's names are not marked UTF-8" >&2; exit 1; }

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
windows_of() { printf 'Z:%s' "${1//\//\\}"; }
# A value of the program's "Apps & features" entry, as Windows keeps it
# ("reg: Unable to find ..." when there is none).
registered() {
  "$root/scripts/wine-run.sh" reg query \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvel' /v "$1" 2>/dev/null | tr -d '\r'
}
# The program's main window (captioned "."), waited for; the test fails with
# the text when it never shows.
main_window() {
  window=""
  for _ in $(seq 600); do
    window="$(xdotool search --onlyvisible --name '^\.$' 2>/dev/null | head -1)" && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "$1"
}
# Closes it as the operator does, until it has gone.
close_main_window() {
  for _ in $(seq 30); do
    xdotool search --onlyvisible --name '^\.$' >/dev/null 2>&1 || break
    alt_f4 "$window" || true
    sleep 1
  done
}
version="$(sed -n 's/^project(dorvel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
# shellcheck source=../tests/e2e/waits.sh
source "$root/tests/e2e/waits.sh"
# shellcheck source=../tests/e2e/keys.sh
source "$root/tests/e2e/keys.sh"

# The portable demo from a folder whose name holds ")" and Cyrillic, on a
# system whose ANSI code page is 1251: start-demo.cmd writes the settings
# file in Windows-1251 and starts the program on the demo's letters.
demo="$WINEPREFIX/drive_c/Demo (1) Звіт"
mkdir -p "$demo"
(cd "$demo" && unzip -q "$portable" && mv dorvel/* . && rmdir dorvel)
(cd "$demo" && DORVEL_WINE_LOCALE=ru_RU.UTF-8 "$root/scripts/wine-run.sh" cmd /c '.\start-demo.cmd' \
  >/dev/null 2>&1)
main_window "the portable demo did not show its window"
close_main_window
LC_ALL=C grep -aqxF $'Letters=C:\\Demo (1) \xC7\xE2\xB3\xF2\\letters\r' "$demo/dorvel.ini" ||
  fail "start-demo.cmd wrote: $(LC_ALL=C grep -a '^Letters=' "$demo/dorvel.ini" | od -c | head -3)"
test -f "$demo/letters/Звіт за листопад.txt" || fail "the zip's Cyrillic name was not kept"

"$root/scripts/wine-run.sh" "$setup" /S >/dev/null 2>&1
until_true test -f "$program/dorvel.exe" || fail "dorvel.exe was not installed"
until_true test -f "$shortcut" || fail "no Start-menu shortcut"
test -f "$program/uninstall.exe" || fail "no uninstaller"

# A mail directory for the installed program to start on.
mail="$(mktemp -d)"
printf 'L_KIEV Kiev\r\n' > "$mail/LUSERS.NDE"
export ZOVOVOD="Z:${mail//\//\\}"
"$root/scripts/wine-run.sh" start /unix "$shortcut" >/dev/null 2>&1 &
main_window "the installed program did not show its window"

# While it runs, neither an upgrade nor the uninstaller touches it: a silent
# run ends with its own exit code and leaves everything as it was. (The
# uninstaller runs in place, _?=, so that its exit code is its own.)
code=0
"$root/scripts/wine-run.sh" "$setup" /S >/dev/null 2>&1 || code=$?
[ "$code" -eq 3 ] || fail "a silent install over the running program ended with $code, not 3"
code=0
"$root/scripts/wine-run.sh" "$program/uninstall.exe" /S "_?=$(windows_of "$program")" \
  >/dev/null 2>&1 || code=$?
[ "$code" -eq 3 ] || fail "a silent uninstall of the running program ended with $code, not 3"
test -f "$program/dorvel.exe" || fail "the uninstaller removed the running program"
registered DisplayVersion | grep -q "$version" || fail "the Apps & features entry went"
close_main_window
until_true test -f "$settings/dorvel.ini" || fail "dorvel.ini was not written in the shortcut's folder"
grep -aq "L_KIEV Kiev=0" "$settings/dorvel.ini" || fail "the settings file lacks the recipient"
rm -rf "$mail"

for field in DisplayVersion Publisher EstimatedSize QuietUninstallString DisplayIcon; do
  registered "$field" | grep -q "$field" || fail "the Apps & features entry lacks $field"
done

# An upgrade to a newer version over this one keeps the settings and the
# shortcut and leaves one entry, of the newer version.
newer="$(dirname "$setup")/dorvel-upgrade-setup.exe"
makensis -V1 -DSOURCE="$root/build-windows/ui/win32" -DVERSION=99.0.0 -DOUTFILE="$newer" \
  "$root/packaging/windows/dorvel.nsi" >&2
before="$(cat "$settings/dorvel.ini")"
"$root/scripts/wine-run.sh" "$newer" /S >/dev/null 2>&1 || fail "the upgrade failed"
registered DisplayVersion | grep -q "99.0.0" || fail "the entry did not take the newer version"
[ "$("$root/scripts/wine-run.sh" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
  grep -ci 'dorvel')" -eq 1 ] || fail "the upgrade left more than one Apps & features entry"
test -f "$shortcut" || fail "the upgrade lost the shortcut"
[ "$(cat "$settings/dorvel.ini")" = "$before" ] || fail "the upgrade touched the settings"
rm -f "$newer"

# Version resources: product name and version for Explorer and inventories.
for file in "$program/dorvel.exe" "$setup"; do
  perl -0777 -ne 'my $w = sub { join("\0", split(//, shift)) . "\0" };
    exit(index($_, $w->("ProductName")) >= 0 && index($_, $w->("ProductVersion")) >= 0 ? 0 : 1)' \
    "$file" || fail "$(basename "$file") has no version resource"
done

"$root/scripts/wine-run.sh" "$program/uninstall.exe" /S >/dev/null 2>&1
until_true test ! -e "$program/dorvel.exe" || fail "the uninstaller left dorvel.exe"
until_true test ! -e "$shortcut" || fail "the uninstaller left the shortcut"
until_true test ! -e "$program" || fail "the uninstaller left its folder"
until_true eval '! registered DisplayVersion | grep -q DisplayVersion' ||
  fail "the uninstaller left its entry"
test -f "$settings/dorvel.ini" || fail "the uninstaller took the operator's settings"

# The Windows Installer package, as an administrator deploys it: silently,
# for all users, into Program Files; its shortcut starts the program in the
# user's own %APPDATA%\Dorvel, since Program Files is not theirs to write.
machine_program="$WINEPREFIX/drive_c/Program Files/Dorvel"
machine_shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorvel/Dorvel.lnk"
rm -f "$settings/dorvel.ini"
"$root/scripts/wine-run.sh" msiexec /i "$(windows_of "$msi")" /qn >/dev/null 2>&1 ||
  fail "msiexec /i /qn failed"
test -f "$machine_program/dorvel.exe" || fail "the MSI did not install dorvel.exe in Program Files"
# Authored for all users (ALLUSERS=1), the shortcut belongs in the common
# Start menu; Wine's msiexec puts it in the installing user's instead.
msiinfo export "$msi" Property | tr -d '\r' | grep -qx $'ALLUSERS\t1' ||
  fail "the MSI does not install for all users"
[ -f "$machine_shortcut" ] || machine_shortcut="$shortcut"
test -f "$machine_shortcut" || fail "the MSI made no Start-menu shortcut"
mail="$(mktemp -d)"
printf 'L_KIEV Kiev\r\n' > "$mail/LUSERS.NDE"
export ZOVOVOD="Z:${mail//\//\\}"
"$root/scripts/wine-run.sh" start /unix "$machine_shortcut" >/dev/null 2>&1 &
main_window "the program the MSI installed did not show its window"
close_main_window
until_true test -f "$settings/dorvel.ini" || fail "the MSI's shortcut did not start it in %APPDATA%\\Dorvel"
rm -rf "$mail"

# A newer MSI over this one: the major upgrade replaces it, so one entry of
# the newer version stays, with the shortcut and the operator's settings.
products() {
  "$root/scripts/wine-run.sh" reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    'C:\uninstall.reg' /y >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/uninstall.reg" 2>/dev/null | tr -d '\r'
}
staged="$(mktemp -d)"
cp "$root/packaging/windows/dorvel.wxs" "$root/build-windows/ui/win32/dorvel.ico" "$staged/"
cp "$root/build-windows/ui/win32/dorvel.exe" "$staged/"
(cd "$staged" && wixl -a x64 -D SourceDir=. -D Version=99.0.0 -o newer.msi dorvel.wxs) 2>/dev/null ||
  fail "the newer MSI was not built"
before="$(cat "$settings/dorvel.ini")"
[ "$(products | grep -c '^"DisplayName"="Dorvel"$')" -eq 1 ] || fail "the MSI made no single entry"
"$root/scripts/wine-run.sh" msiexec /i "$(windows_of "$staged/newer.msi")" /qn >/dev/null 2>&1 ||
  fail "the newer MSI did not install over the older one"
[ "$(products | grep -c '^"DisplayName"="Dorvel"$')" -eq 1 ] ||
  fail "the MSI upgrade left $(products | grep -c '^"DisplayName"="Dorvel"$') entries"
products | grep -q '^"DisplayVersion"="99.0.0"$' || fail "the MSI entry did not take the newer version"
test -f "$machine_program/dorvel.exe" || fail "the MSI upgrade lost dorvel.exe"
test -f "$machine_shortcut" || fail "the MSI upgrade lost the shortcut"
[ "$(cat "$settings/dorvel.ini")" = "$before" ] || fail "the MSI upgrade touched the settings"
msi="$staged/newer.msi"
"$root/scripts/wine-run.sh" msiexec /x "$(windows_of "$msi")" /qn >/dev/null 2>&1 ||
  fail "msiexec /x /qn failed"
[ "$(products | grep -c '^"DisplayName"="Dorvel"$')" -eq 0 ] || fail "msiexec /x left its entry"
rm -rf "$staged"
test ! -e "$machine_program/dorvel.exe" || fail "msiexec /x left dorvel.exe"
test ! -e "$machine_shortcut" || fail "msiexec /x left the shortcut"
test -f "$settings/dorvel.ini" || fail "msiexec /x took the operator's settings"
echo "the Windows installer and the MSI install, start the program, and uninstall cleanly"
