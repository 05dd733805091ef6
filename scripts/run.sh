#!/usr/bin/env bash
# Installs what is missing, builds (Release), makes the pictures and sounds, and starts the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTHRONGWICK_TESTS=OFF -DTHRONGWICK_BENCH=OFF >/dev/null
cmake --build "$build" --target throngwick assets -j"$(nproc)"

if [ -z "${DISPLAY:-}" ]; then
    echo "No display to open the window on: run it under a virtual one with  xvfb-run -s '-screen 0 1280x1024x24' $0"
    exit 1
fi
cd "$build/run"
exec ./throngwick "$@"
