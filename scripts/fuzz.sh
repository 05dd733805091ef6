#!/usr/bin/env bash
# Fuzzes the TGA reader with libFuzzer for a bounded time.
#
#   scripts/fuzz.sh [SECONDS [PICTURES]]
#
# SECONDS   how long to fuzz (default 60).
# PICTURES  a build folder whose run/image_data/*.tga (and, in a test build, the pictures its
#           tests/tga_seeds writes) seed the corpus, or a folder holding .tga files itself
#           (default: $TGA_FUZZ_PICTURES, else build/).
# The fuzzer, its corpus and any crash inputs go into build-fuzz/ (the fuzz preset).
# FUZZ_MAX_LEN    longest input in bytes (default 4096); longer seed pictures are cut short,
#                 which the reader takes as missing bytes.
#
# Prints the number of executions; exits non-zero when the fuzzer found a crash, a leak,
# undefined behaviour or an out-of-memory.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
pictures=${2:-${TGA_FUZZ_PICTURES:-$repo/build}}
build=$repo/build-fuzz
maxLen=${FUZZ_MAX_LEN:-4096}
fuzzer=$build/fuzz/TgaImageFuzz

(cd "$repo" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j"$(nproc)" >/dev/null)
mkdir -p "$build/corpus" "$build/seeds" "$build/crashes"

# Small hand-made pictures of every layout, written by the tests' TGA builder where a test build
# holds it.
[[ -x $pictures/tests/tga_seeds ]] && "$pictures/tests/tga_seeds" "$build/seeds"
[[ -d $pictures/run/image_data ]] && pictures=$pictures/run/image_data
copied=0
for picture in "$pictures"/*.tga; do
    [[ -f $picture ]] || continue
    cp "$picture" "$build/seeds/"
    copied=$((copied + 1))
done
echo "seeds: $(ls "$build/seeds" | wc -l) files ($copied from $pictures)"

echo "fuzzing for $seconds s"
log=$build/fuzz.log
"$fuzzer" "$build/corpus" "$build/seeds" -max_total_time="$seconds" -max_len="$maxLen" \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/crashes/" >"$log" 2>&1 &
pid=$!
status=0
wait "$pid" || status=$?
# A crashed fuzzer leaves its input file behind.
rm -f "/dev/shm/TgaImageFuzz-$pid.tga" "/tmp/TgaImageFuzz-$pid.tga"

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "executions: ${executions:-unknown}"
echo "corpus: $(ls "$build/corpus" | wc -l) files"
if ((status != 0)); then
    tail -n 40 "$log"
    echo "the fuzzer stopped with status $status; the input is in $build/crashes/, the log in $log"
    exit 1
fi
echo "no crash"
