#!/usr/bin/env bash
# Configures and builds into build/ (or $NOTEN_BUILD_DIR). Extra arguments go to the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NOTEN_BUILD_DIR:-$root/build}
"$root/scripts/setup-deps.sh"
generator=()
[[ -f "$build/CMakeCache.txt" ]] || generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
