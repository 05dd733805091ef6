#!/usr/bin/env bash
# Installs what is missing, builds (Release), makes the pictures and sounds, and starts the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/setup.sh"
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

if [ -z "${DISPLAY:-}" ]; then
    echo "No display to open the window on: run it under a virtual one with  xvfb-run -s '-screen 0 1280x1024x24' $0"
    exit 1
fi
cd "$build/run"
exec ./throngwick "$@"
