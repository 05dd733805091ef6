#!/usr/bin/env bash
# Installs what is missing, builds with -Werror, AddressSanitizer and UndefinedBehaviorSanitizer,
# builds and judges the Debian package, and runs the whole suite headless (its own Xvfb when no
# display is set).
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

source "$root/scripts/display.sh"

# A busy X server now and then refuses a connection; the preset gives a failed test one more run.
ctest --preset test -j"$(nproc)"
"$root/scripts/fuzz.sh" 60 "$build" 20
