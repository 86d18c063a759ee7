#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds (default 60).
# A crash fails the run; its input is left in build-fuzz/findings/ to become a regression test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${NOTEN_FUZZ_BUILD_DIR:-$root/build-fuzz}
NOTEN_WITH_CLANG=1 "$root/scripts/setup-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DNOTEN_FUZZ=ON -DNOTEN_GUI=OFF \
    -DNOTEN_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target grade_file_fuzz text_to_number_fuzz format_tenths_fuzz

mkdir -p "$build/findings"
status=0
for target in grade_file text_to_number format_tenths; do
    work=$build/corpus/$target
    mkdir -p "$work"
    echo "== ${target}_fuzz for ${seconds}s"
    if ! "$build/bin/${target}_fuzz" "$work" "$root/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/findings/${target}-" \
        2>"$build/${target}.log"; then
        status=1
        tail -n 40 "$build/${target}.log"
    fi
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$build/${target}.log" || true
done
exit $status
