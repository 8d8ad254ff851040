#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own, never
# ~/.wine, and quietly. scripts/test.sh keeps one wineserver alive for all
# the tests, which saves starting Wine again for every one of them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
mkdir -p "$WINEPREFIX"
exec wine "$@"
