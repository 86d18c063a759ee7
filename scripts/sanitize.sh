#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (no recovery) in
# build-asan/ and runs every test there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NOTEN_ASAN_BUILD_DIR:-$root/build-asan}
"$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DNOTEN_SANITIZE=address,undefined >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-qt.supp:print_suppressions=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
