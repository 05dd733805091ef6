#!/usr/bin/env bash
# Installs what is missing, builds with -Werror, AddressSanitizer and UndefinedBehaviorSanitizer,
# builds and judges the Debian package, builds the browser version, and runs the whole suite
# headless (its own Xvfb when no display is set).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

"$root/scripts/setup.sh" test
cd "$root"
cmake --preset test >/dev/null
cmake --build --preset test -j"$(nproc)"

# The Debian package people install, judged by Debian's own tools; its end-to-end test unpacks it.
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)" >/dev/null
cpack --preset package >/dev/null
lintian --fail-on error,warning build/package/throngwick_*.deb
desktop-file-validate packaging/throngwick.desktop

# The browser version, with the run build's pictures and sounds; its journey serves and drives it.
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)" >/dev/null

source "$root/scripts/display.sh"

ctest --preset test -j"$(nproc)"
"$root/scripts/fuzz.sh" 60 "$build" 20
