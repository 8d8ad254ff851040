#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds, default 60) on its corpus, seeded from fuzz/corpus/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
"$root/scripts/install-deps.sh" --fuzz
dir="$root/build-fuzz"
"$root/scripts/build.sh" fuzz
for target in AddressFileFuzz ProfileFileFuzz IntegerFuzz NumberingFuzz; do
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
  echo "== $target, ${seconds}s"
  (cd "$dir" && "./fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$dir/crash-$target-" "$corpus" 2>&1 |
    grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss|==[0-9]+==|SUMMARY|Done)" || true)
  if ls "$dir"/crash-"$target"-* >/dev/null 2>&1; then
    echo "$target found a fault: $(ls "$dir"/crash-"$target"-*)" >&2
    exit 1
  fi
done
