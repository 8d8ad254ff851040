#!/usr/bin/env bash
# The program's share of a core while it sits idle on a letters folder of
# 100,000 files: processor time over wall time, over ten seconds after the
# start has settled. Under Wine the wineserver's share is given too, as it
# works for the program. Usage: bench/idle-cpu.sh linux|windows
# (under a display: xvfb-run -a bench/idle-cpu.sh linux).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
face="${1:-linux}"
work="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/mail" "$work/letters" "$work/run"
printf 'L_KIEV Kiev\r\n' > "$work/mail/LUSERS.NDE"
(cd "$work/letters" && seq -f 'LETTER%06g.DOC' 0 99999 | xargs touch)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
if [ "$face" = windows ]; then
  export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all
  printf '[Options]\r\nLetters=Z:%s\r\n' "${work//\//\\}\\letters" > "$work/run/dorvel.ini"
  export ZOVOVOD="Z:${work//\//\\}\\mail"
  (cd "$work/run" && exec "$root/scripts/wine-run.sh" "$root/build-windows/ui/win32/dorvel.exe") &
  pid=$!
  sleep 20
  program="$(pgrep -n -f 'dorvel\.exe')"
  server="$(pgrep -n wineserver || true)"
  echo "program $program: $(tr "\0" " " < "/proc/$program/cmdline"), $(($(ticks "$program") / $(getconf CLK_TCK))) s of processor time at the start" >&2
else
  printf '[Options]\r\nLetters=%s\r\n' "$work/letters" > "$work/run/dorvel.ini"
  export ZOVOVOD="$work/mail"
  (cd "$work/run" && exec "$root/build/ui/qt/dorvel") &
  pid=$!
  sleep 10
  program="$pid"
  server=""
fi
hz="$(getconf CLK_TCK)"
p0="$(ticks "$program")"; s0="${server:+$(ticks "$server")}"
sleep 10
p1="$(ticks "$program")"; s1="${server:+$(ticks "$server")}"
awk -v a="$p0" -v b="$p1" -v hz="$hz" 'BEGIN { printf "program: %.2f%% of a core\n", (b - a) / hz / 10 * 100 }'
if [ -n "$server" ]; then
  awk -v a="$s0" -v b="$s1" -v hz="$hz" 'BEGIN { printf "wineserver: %.2f%% of a core\n", (b - a) / hz / 10 * 100 }'
fi
