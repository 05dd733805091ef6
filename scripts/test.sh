#!/usr/bin/env bash
# Installs what is missing, builds with -Werror, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs the whole suite headless (its own Xvfb when no display is set).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

"$root/scripts/setup.sh"
cd "$root"
cmake --preset test >/dev/null
cmake --build --preset test -j"$(nproc)"

source "$root/scripts/display.sh"

ctest --preset test -j"$(nproc)"
"$root/scripts/fuzz.sh" 60 "$build"
