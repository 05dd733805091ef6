#!/usr/bin/env bash
# Builds the program (Release, into build/ as scripts/run.sh does) and runs the soak test against
# it: SECONDS of random clicks, pointer movement and keys in the real window (600 by default, or
# SOAK_SECONDS), printing the memory curve and failing on a crash, stalled frames, memory growth
# while nothing spreads through the crowd, a runaway growth while song and fire spread, or a
# non-zero exit status after Esc (the other SOAK_ settings are described in tests/e2e/test_soak.py).
# Starts its own Xvfb when there is no display.
# Usage: scripts/soak.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
export SOAK_SECONDS="${1:-${SOAK_SECONDS:-600}}"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

"$root/scripts/setup.sh" test
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

source "$root/scripts/display.sh"

/usr/bin/python3 "$root/tests/e2e/test_soak.py" --binary "$build/run/throngwick" --run-dir "$build/run"
