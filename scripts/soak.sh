#!/usr/bin/env bash
# Builds the program (Release, into build/ as scripts/run.sh does) and runs the soak journey
# against it: SECONDS of random clicks, pointer movement and keys in the real window (600 by
# default, or SOAK_SECONDS), failing on a crash, stalled frames, a runaway growth of memory, or a
# non-zero exit status after Esc. Starts its own Xvfb when there is no display.
# Usage: scripts/soak.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
export SOAK_SECONDS="${1:-${SOAK_SECONDS:-600}}"

"$root/scripts/setup.sh" test
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

source "$root/scripts/display.sh"

/usr/bin/python3 -B "$root/tests/e2e/journeys.py" soak --binary "$build/run/throngwick" \
    --run-dir "$build/run" --scratch "$build/soak"
