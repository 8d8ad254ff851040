#!/usr/bin/env bash
# Configures and builds into a folder (default: build). Extra arguments go
# to cmake's configure step.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
