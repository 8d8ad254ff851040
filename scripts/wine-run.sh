#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own, never
# ~/.wine, and quietly. scripts/test.sh keeps one wineserver alive for all
# the tests, which saves starting Wine again for every one of them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wineprefix}"
export WINEDEBUG=-all
# Wine names the files it makes on Linux in the locale's encoding: without a
# UTF-8 one (a bare machine's C locale) a name outside ASCII cannot be made.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
mkdir -p "$WINEPREFIX"
exec wine "$@"
