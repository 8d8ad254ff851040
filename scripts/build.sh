#!/usr/bin/env bash
# Configures and builds one of the project's CMake presets (default: dev;
# see CMakePresets.json for the others).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="${1:-dev}"
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
