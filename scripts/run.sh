#!/usr/bin/env bash
# Installs what building needs, builds (Release), makes the pictures and sounds, and starts the
# program with the given options (scripts/run.sh --help lists them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

"$root/scripts/setup.sh" build
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"

if [ -z "${DISPLAY:-}" ]; then
    echo "No display to open the window on: run it under a virtual one with  xvfb-run -s '-screen 0 1280x1024x24' $0"
    exit 1
fi
exec "$build/run/throngwick" "$@"
