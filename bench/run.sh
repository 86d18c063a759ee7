#!/usr/bin/env bash
# Prints the benchmark table: start-up against a bare Qt Charts window, batch evaluation against
# awk and python3, and peak memory. Every figure is the median of several runs (default 7),
# the programs of one comparison measured alternately in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
build=${NOTEN_BUILD_DIR:-$root/build}
bench_build=$root/build-bench
work=$(mktemp -d)
trap 'kill "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

"$root/scripts/build.sh" --target notenstatistik notenstatistik-cli >/dev/null
command -v python3 >/dev/null || { echo "python3 is needed for the comparison" >&2; exit 1; }
cmake -S "$root/bench" -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$bench_build" >/dev/null
program=$build/bin/notenstatistik
cli=$build/bin/notenstatistik-cli
bare=$bench_build/bin/bare-chart-window
probe=$bench_build/lib/libfirst-frame-probe.so

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# Xvfb picks a free display number itself and reports it on file descriptor 3.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
export XDG_RUNTIME_DIR=$work/runtime && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
rm -f "$display_file"

# Start-up: process start to the first painted frame of the main window.
startup() {  # program → "milliseconds peak_kib"
    local before after output
    before=$(date +%s%N)
    output=$(LD_PRELOAD=$probe "$1")
    after=$(awk '/first_frame_ns/ {print $2}' <<<"$output")
    echo "$(( (after - before) / 1000 )) $(awk '/peak_rss_kib/ {print $2}' <<<"$output")"
}
"$program" >/dev/null 2>&1 & sleep 1; kill $! 2>/dev/null || true   # warm the file cache once
: >"$work/startup-program"; : >"$work/startup-bare"
for _ in $(seq "$runs"); do
    startup "$program" >>"$work/startup-program"
    startup "$bare" >>"$work/startup-bare"
done
program_us=$(cut -d' ' -f1 "$work/startup-program" | median)
bare_us=$(cut -d' ' -f1 "$work/startup-bare" | median)

# Peak memory: the window after one typed evaluation, the bare window after its first frame.
window_peak() {
    "$program" >/dev/null 2>&1 &
    local pid=$!
    timeout 20 xdotool search --sync --onlyvisible --name '^Notenstatistik$' >/dev/null
    xdotool key Return
    timeout 20 xdotool search --sync --onlyvisible --name '^Einzelnote$' >/dev/null
    xdotool type 2; xdotool key Return; sleep 0.3
    xdotool type 3; xdotool key Return; sleep 0.3
    xdotool key Return; sleep 0.5
    awk '/VmHWM/ {print $2}' "/proc/$pid/status"
    kill "$pid"; wait "$pid" 2>/dev/null || true
}
bare_peak() {
    "$bare" >/dev/null 2>&1 &
    local pid=$!
    timeout 20 xdotool search --sync --onlyvisible --name '^Bare chart window$' >/dev/null
    sleep 0.5
    awk '/VmHWM/ {print $2}' "/proc/$pid/status"
    kill "$pid"; wait "$pid" 2>/dev/null || true
}
: >"$work/peak-program"; : >"$work/peak-bare"
for _ in $(seq 3); do
    window_peak >>"$work/peak-program"
    bare_peak >>"$work/peak-bare"
done
program_peak=$(median <"$work/peak-program")
bare_peak_kib=$(median <"$work/peak-bare")

# Batch: 1000 files of 1000 grades each.
mkdir -p "$work/files"
python3 - "$work/files" <<'PY'
import random, sys
random.seed(7)
for n in range(1000):
    with open(f"{sys.argv[1]}/klasse{n:04}.txt", "w") as f:
        f.write("1000\n")
        f.write("\n".join(f"{random.randint(10, 60) / 10}" for _ in range(1000)))
        f.write("\n")
PY
cat >"$work/stats.awk" <<'AWK'
function flush(  i, d, v) {
    if (n > 0) {
        m = s / n; v = 0
        for (i = 0; i < n; i++) { d = g[i] - m; v += d * d }
        printf "%s %d %.1f %.1f\n", name, n, m, sqrt(v / n)
    }
}
FNR == 1 { flush(); name = FILENAME; n = -1; k = 0; s = 0 }
{ for (i = 1; i <= NF; i++) { if (n < 0) n = $i + 0; else if (k < n) { g[k++] = $i + 0; s += $i } } }
END { flush() }
AWK
cat >"$work/stats.py" <<'PY'
import statistics, sys
for path in sys.argv[1:]:
    with open(path) as f:
        tokens = f.read().split()
    count = int(tokens[0])
    grades = [float(t) for t in tokens[1:count + 1]]
    print(path, count, statistics.mean(grades), statistics.pstdev(grades))
PY
files=("$work"/files/*.txt)
seconds() {  # command... → wall seconds
    local before after
    before=$(date +%s%N); "$@" >/dev/null; after=$(date +%s%N)
    awk -v ns=$((after - before)) 'BEGIN {printf "%.4f\n", ns / 1e9}'
}
: >"$work/batch-cli"; : >"$work/batch-awk"; : >"$work/batch-python"
cli_peak=0
for _ in $(seq 3); do
    seconds "$cli" "${files[@]}" >>"$work/batch-cli"
    seconds awk -f "$work/stats.awk" "${files[@]}" >>"$work/batch-awk"
    seconds python3 "$work/stats.py" "${files[@]}" >>"$work/batch-python"
done
cli_peak=$( { /usr/bin/time -f '%M' "$cli" "${files[@]}" >/dev/null; } 2>&1 | tail -n 1)
cli_s=$(median <"$work/batch-cli"); awk_s=$(median <"$work/batch-awk"); python_s=$(median <"$work/batch-python")

awk -v p="$program_us" -v b="$bare_us" -v pp="$program_peak" -v bp="$bare_peak_kib" \
    -v c="$cli_s" -v a="$awk_s" -v y="$python_s" -v cp="$cli_peak" -v runs="$runs" 'BEGIN {
    printf "%-52s %12s %12s %8s\n", "measure (median)", "value", "reference", "ratio"
    printf "%-52s %9.1f ms %9.1f ms %8.2f\n", "start-up to first frame (" runs " runs) vs bare Qt Charts window", p/1000, b/1000, p/b
    printf "%-52s %9.0f /s %9.0f /s %8.2f\n", "batch 1000 files x 1000 grades: CLI vs awk", 1000/c, 1000/a, a/c
    printf "%-52s %9.0f /s %9.0f /s %8.2f\n", "batch 1000 files x 1000 grades: CLI vs python3", 1000/c, 1000/y, y/c
    printf "%-52s %8.1f MiB %8.1f MiB %8.2f\n", "peak RSS: window after one evaluation vs bare", pp/1024, bp/1024, pp/bp
    printf "%-52s %8.1f MiB\n", "peak RSS: CLI over the whole batch", cp/1024
    printf "goals: start-up ratio <= 1.25, CLI faster than awk (ratio > 1), window memory ratio <= 1.2\n"
}'
