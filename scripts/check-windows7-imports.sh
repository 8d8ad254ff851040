#!/usr/bin/env bash
# The 32-bit and 64-bit programs must start on Windows 7 SP1 and 8.1: a
# program whose import table names a function the system lacks does not
# start at all. Checks each .exe given: only the system libraries Windows 7
# has, and none of the later functions the program could be tempted by
# (the per-monitor DPI calls, the precise clock, the newer file calls, the
# API sets); those are looked up at run time instead.
# Usage: check-windows7-imports.sh PROGRAM.exe...
set -euo pipefail
allowed_dlls='^(COMCTL32|GDI32|KERNEL32|msvcrt|ole32|OLEACC|OLEAUT32|SHELL32|SHLWAPI|USER32|UxTheme|ADVAPI32|COMDLG32|VERSION|WS2_32|libwinpthread-1)\.dll$'
later='(Dpi(For|Awareness|Hosting)|ForDpi$|^GetDpiFor|EnableNonClientDpiScaling|GetSystemTimePreciseAsFileTime|^CopyFile2$|^CreateFile2$|^PathCch|SetThreadDescription|GetThreadDescription|LoadPackagedLibrary|GetCurrentPackage|SetDefaultDllDirectories|AddDllDirectory|GetProcessMitigationPolicy|SetProcessMitigationPolicy|WaitOnAddress|WakeByAddress)'
status=0
for program in "$@"; do
  tables="$(x86_64-w64-mingw32-objdump -p "$program" 2>/dev/null || i686-w64-mingw32-objdump -p "$program")"
  while read -r dll; do
    if ! grep -Eqi "$allowed_dlls" <<<"$dll"; then
      echo "$program imports from $dll, which Windows 7 may lack" >&2
      status=1
    fi
  done < <(awk '/DLL Name:/ {print $3}' <<<"$tables")
  # The imported names: the last field of each hint/name row.
  names="$(awk '/DLL Name:/ {inside = 1; next} inside && NF >= 2 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $NF}' <<<"$tables")"
  if bad="$(grep -E "$later" <<<"$names")"; then
    echo "$program imports functions Windows 7 lacks: $(tr '\n' ' ' <<<"$bad")" >&2
    status=1
  fi
  [ -n "$names" ] || { echo "$program: no import table read" >&2; status=1; }
done
[ "$status" -eq 0 ] && echo "no import that Windows 7 SP1 lacks: $*"
exit "$status"
