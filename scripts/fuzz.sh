#!/usr/bin/env bash
# Fuzzes the TGA reader with libFuzzer for a bounded time.
#
#   scripts/fuzz.sh [SECONDS [PICTURES]]
#
# SECONDS   how long to fuzz (default 60).
# PICTURES  a build folder whose run/image_data/*.tga seed the corpus, or a folder holding
#           .tga files itself (default: $TGA_FUZZ_PICTURES, else build/).
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

# Tiny hand-made pictures, so the corpus is never empty: header(ID length, colour-map type,
# image type, colour-map first index, colour-map length, entry bits, width, height, depth,
# descriptor) followed by the pixel bytes.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
header() {
    printf '\\x%02x\\x%02x\\x%02x' "$1" "$2" "$3"
    le16 "$4"; le16 "$5"; printf '\\x%02x' "$6"
    le16 0; le16 0; le16 "$7"; le16 "$8"
    printf '\\x%02x\\x%02x' "$9" "${10}"
}
seed() { # name, header arguments..., pixel bytes as \xHH text
    local name=$1 body=${12}
    shift
    printf "$(header "${@:1:10}")$body" >"$build/seeds/$name.tga"
}
seed rgb24-bottom-first 0 0 2 0 0 0 2 2 24 0x00 '\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c'
seed rgba32-top-first 0 0 2 0 0 0 2 1 32 0x28 '\x01\x02\x03\x00\x04\x05\x06\x80'
seed grey8-type3 0 0 3 0 0 0 3 2 8 0x00 '\x00\x01\x7f\x80\xfe\xff'
seed grey8-type2 0 0 2 0 0 0 2 2 8 0x20 '\x10\x20\x30\x40'
seed rle24-run 0 0 10 0 0 0 4 1 24 0x20 '\x83\x01\x02\x03'
seed rle32-mixed 0 0 10 0 0 0 3 2 32 0x00 '\x01\x0a\x0a\x0a\xff\x14\x14\x14\xff\x82\x1e\x1e\x1e\x80\x00\x28\x28\x28\x00'
seed id-and-colour-map 3 1 2 0 2 15 1 1 24 0x00 'abc\x00\x7c\xe0\x03\x01\x02\x03'
seed empty 0 0 2 0 0 0 0 0 24 0x00 ''

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
