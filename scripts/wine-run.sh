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
# A test may ask for another UTF-8 locale: Wine takes the system's code
# pages from it (ru_RU gives the ANSI code page 1251, en_US 1252).
export LC_ALL="${DORVEL_WINE_LOCALE:-C.UTF-8}"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
mkdir -p "$WINEPREFIX"
exec wine "$@"
