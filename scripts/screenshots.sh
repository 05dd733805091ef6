#!/usr/bin/env bash
# Retakes the README's pictures in docs/screenshots/ from the real program (Release, into build/
# as scripts/run.sh does), on the journeys that pass through those views; run it when the look
# changes. Starts its own Xvfb when there is no display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/setup.sh" test
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

source "$root/scripts/display.sh"

for journey in title_and_hall visits; do
    /usr/bin/python3 -B "$root/tests/e2e/journeys.py" "$journey" --binary "$build/run/throngwick" \
        --run-dir "$build/run" --scratch "$build/screenshots" --screenshots "$root/docs/screenshots"
done
