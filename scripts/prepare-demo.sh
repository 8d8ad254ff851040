#!/usr/bin/env bash
# Lays out the demo's working folder outside the tracked files: a mail
# directory with the address file, a letters folder, and the folder the
# program runs in (where dorvel.ini is written). Existing files are kept,
# so the operator's settings survive a restart.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$root/build/demo}"
mkdir -p "$work/mail" "$work/letters" "$work/run"
cp -n "$root/demo/mail/LUSERS.NDE" "$work/mail/"
cp -rn "$root/demo/letters/." "$work/letters/"
if [ -x "$root/build/tools/TOMAIL" ]; then
  cp -f "$root/build/tools/TOMAIL" "$work/mail/TOMAIL"
fi
if [ ! -e "$work/run/dorvel.ini" ]; then
  printf '[Options]\r\nLetters=%s\r\n' "$work/letters" > "$work/run/dorvel.ini"
fi
echo "$work"
