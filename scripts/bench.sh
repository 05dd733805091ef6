#!/usr/bin/env bash
# Builds the benchmarks (Release, no sanitizers) into build-bench/, runs every benchmark program
# in bench/, times the real program's start-up and measures its peak memory against an empty GLUT
# window, records a visit and makes it into a clip (bench/clip_bench.py), builds the browser
# version and measures it in headless Chromium (bench/web_bench.py, with Lighthouse, which it
# installs from npm into build-bench/lighthouse/), and prints one markdown table of every figure
# with its baseline, ratio and target (also written to build-bench/bench-table.md). The frames are
# also measured full screen at 1920x1080 or
# more: without a display that large, it starts its own Xvfb of that size.
# BENCH_MIN_TIME (seconds per benchmark, default 0.3) and BENCH_FRAME_MIN_TIME (seconds per frame
# benchmark, default 1: a frame takes tens of milliseconds) trade run time for steadier figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
results="$build/bench-results"
minTime="${BENCH_MIN_TIME:-0.3}"
frameMinTime="${BENCH_FRAME_MIN_TIME:-1}"

"$root/scripts/setup.sh" test
cd "$root"
cmake --preset bench >/dev/null
benches=()
for source in "$root"/bench/*Bench.cpp; do
    benches+=("$(basename "$source" .cpp)")
done
cmake --build --preset bench -j"$(nproc)" >"$build/bench-build.log" || { tail -30 "$build/bench-build.log"; exit 1; }

screen="$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { print $2 }')" || true
if [[ ! $screen =~ ^([0-9]+)x([0-9]+)$ ]] || ((BASH_REMATCH[1] < 1920 || BASH_REMATCH[2] < 1080)); then
    unset DISPLAY
    export XVFB_SCREEN=1920x1080
fi
source "$root/scripts/display.sh"
export SDL_AUDIODRIVER=dummy

rm -rf "$results"
mkdir -p "$results"
echo "start $(cat /proc/loadavg)" >"$results/load.txt"

# The program reads its pictures and sounds from its working directory.
cd "$build/run"
for bench in "${benches[@]}"; do
    echo "== $bench" >&2
    seconds="$minTime"
    [[ $bench == FrameBench || $bench == RecordingBench ]] && seconds="$frameMinTime"
    "$build/bench/$bench" --benchmark_min_time="$seconds" \
        --benchmark_out="$results/$bench.json" --benchmark_out_format=json >&2 ||
        echo "$bench (exit status $?)" >>"$results/failed.txt"
done

echo "== start-up and peak memory" >&2
probe="$build/bench/startup_probe"
for _ in 1 2 3 4 5; do
    # Taken in turns, so that the machine's changing load falls on both alike.
    echo "empty_window $("$probe" -- "$build/bench/empty_window")" >>"$results/startup.txt"
    echo "throngwick $("$probe" -- ./throngwick)" >>"$results/startup.txt"
done
echo "empty_window $("$probe" --hold 10 -- "$build/bench/empty_window")" >>"$results/memory.txt"
echo "throngwick $("$probe" --click --hold 10 -- ./throngwick)" >>"$results/memory.txt"
echo "== a recorded visit made into a clip" >&2
/usr/bin/python3 -B "$root/bench/clip_bench.py" "$build/run/throngwick" "$build/run" \
    "$build/clip-bench" >"$results/clip.txt" || echo "clip_bench.py (exit status $?)" >>"$results/failed.txt"
echo "== the browser version" >&2
(cd "$root" && cmake --preset web -DTHRONGWICK_WEB_DATA="$build/run" >/dev/null &&
    cmake --build --preset web -j"$(nproc)" >"$build/web-build.log") || { tail -30 "$build/web-build.log"; exit 1; }
# Lighthouse for the page's mobile scores, from npm, for the benchmark only (never the tests).
lighthouse="$build/lighthouse/node_modules/.bin/lighthouse"
[[ -x $lighthouse ]] || npm install --prefix "$build/lighthouse" --no-audit --no-fund --silent \
    lighthouse@12 >&2 || echo "lighthouse (npm install failed)" >>"$results/failed.txt"
[[ -x $lighthouse ]] && export LIGHTHOUSE="$lighthouse"
/usr/bin/python3 -B "$root/bench/web_bench.py" "$root/build-web/site" "$build/web-bench" \
    >"$results/web.txt" || echo "web_bench.py (exit status $?)" >>"$results/failed.txt"
echo "end $(cat /proc/loadavg)" >>"$results/load.txt"

python3 "$root/bench/bench_table.py" "$results" >"$build/bench-table.md"
echo
cat "$build/bench-table.md"
