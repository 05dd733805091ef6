#!/usr/bin/env bash
# Fuzzes the TGA reader and the visit recording's reader with libFuzzer for a bounded time, both
# at once (one core each).
#
#   scripts/fuzz.sh [SECONDS [PICTURES [RECORDING_SECONDS]]]
#
# SECONDS            how long to fuzz the TGA reader (default 60).
# PICTURES           a build folder whose run/image_data/*.tga (and, in a test build, the pictures
#                    its tests/tga_seeds writes) seed the corpus, or a folder holding .tga files
#                    itself (default: $TGA_FUZZ_PICTURES, else build/).
# RECORDING_SECONDS  how long to fuzz the recording reader (default 20).
# The fuzzers, their corpora and any crash inputs go into build-fuzz/ (the fuzz preset).
# FUZZ_MAX_LEN    longest picture input in bytes (default 4096); longer seed pictures are cut
#                 short, which the reader takes as missing bytes.
#
# Prints the number of executions of each; exits non-zero when a fuzzer found a crash, a leak,
# undefined behaviour, an out-of-memory or a hang.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
pictures=${2:-${TGA_FUZZ_PICTURES:-$repo/build}}
build=$repo/build-fuzz
recordingSeconds=${3:-20}
maxLen=${FUZZ_MAX_LEN:-4096}

(cd "$repo" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j"$(nproc)" >/dev/null)
mkdir -p "$build/corpus" "$build/seeds" "$build/crashes" "$build/recording-corpus" \
    "$build/recording-seeds"

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

# Recordings: a visit with every kind of line, one cut short, and the reader's words.
visit='throngwick-visit 2\nseed 7\nwindow 1024 512\nstart 22\nreshape 1024 512\nframe 300 0\n'
visit+='move 500 300\nmouse 0 0 500 300\nmouse 0 1 500 300\nframe 317 0\ndrag 1 2\nkey 51 5 6\n'
visit+='keyup 51 5 6\nspecial 101 5 6\nspecialup 101 5 6\n# a comment\nframe 333 0.123456791 hidden\n'
printf "$visit" >"$build/recording-seeds/visit.txt"
printf "${visit}key 27 5 6\nframe 40" >"$build/recording-seeds/cut-short.txt"
dictionary=$build/recording.dict
for word in throngwick-visit seed window start frame hidden reshape mouse drag move key keyup \
    special specialup 4294967295 8192 2147483647 -32768 32767 65535 0.5 1e-40 '\x0a' '\x0d\x0a'; do
    echo "\"$word\""
done >"$dictionary"

# Runs one fuzzer: name, seconds, corpus, seeds, then its own options. Started with &, the
# fuzzer's own process id is then $!.
fuzz() {
    local name=$1 time=$2 corpus=$3 seeds=$4
    shift 4
    exec "$build/fuzz/$name" "$corpus" "$seeds" -max_total_time="$time" -rss_limit_mb=1024 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" "$@" \
        >"$build/$name.log" 2>&1
}
report() { # name, status
    local executions
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$1.log" | tail -n 1)
    echo "$1: ${executions:-unknown} executions, corpus $(ls "$3" | wc -l) files"
    if (($2 != 0)); then
        tail -n 40 "$build/$1.log"
        echo "$1 stopped with status $2; the input is in $build/crashes/, the log in $build/$1.log"
    fi
}

echo "fuzzing the pictures for $seconds s and the recordings for $recordingSeconds s"
fuzz TgaImageFuzz "$seconds" "$build/corpus" "$build/seeds" -max_len="$maxLen" &
tgaPid=$!
fuzz RecordingFuzz "$recordingSeconds" "$build/recording-corpus" "$build/recording-seeds" \
    -max_len=4096 -dict="$dictionary" &
recordingPid=$!
tgaStatus=0
recordingStatus=0
wait "$tgaPid" || tgaStatus=$?
wait "$recordingPid" || recordingStatus=$?
# A crashed fuzzer leaves its input file behind.
for folder in /dev/shm /tmp; do
    rm -f "$folder/TgaImageFuzz-$tgaPid.tga" "$folder/RecordingFuzz-$recordingPid.txt"
done
report TgaImageFuzz "$tgaStatus" "$build/corpus"
report RecordingFuzz "$recordingStatus" "$build/recording-corpus"
((tgaStatus == 0 && recordingStatus == 0)) || exit 1
echo "no crash"
