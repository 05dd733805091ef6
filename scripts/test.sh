#!/usr/bin/env bash
# Installs what is missing, builds with -Werror, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs the whole suite headless (its own Xvfb when no display is set).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTHRONGWICK_WERROR=ON -DTHRONGWICK_SANITIZE=ON -DTHRONGWICK_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

xvfb_pid=""
stop_xvfb() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap stop_xvfb EXIT
if [ -z "${DISPLAY:-}" ]; then
    for number in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$number"
        break
    done
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
"$root/scripts/fuzz.sh" 60 "$build"
