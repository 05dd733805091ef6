#!/usr/bin/env bash
# Installs what is missing, builds with -Werror, AddressSanitizer and UndefinedBehaviorSanitizer,
# builds and judges the Debian packages, builds the browser version, and runs the whole suite
# headless (its own Xvfb when no display is set).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"

"$root/scripts/setup.sh" test
cd "$root"
# The layout is clang-format's, as .clang-format sets it.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
cmake --preset test >/dev/null
cmake --build --preset test -j"$(nproc)"

# The Debian packages people install, judged by Debian's own tools; the package journey unpacks
# and starts them. A fresh clone of the commit must package to the same bytes.
"$root/scripts/package.sh" >/dev/null
"$root/scripts/reproducible.sh" --build
lintian --pedantic -I --fail-on error,warning,info,pedantic build/package/*.deb
unpacked="$root/build/package/unpacked"
rm -rf "$unpacked"
for deb in build/package/*.deb; do dpkg-deb -x "$deb" "$unpacked"; done
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
appstreamcli validate-tree --pedantic --strict --no-net "$unpacked"
# Bookworm's C start files carry no CET note, so no program linked here can claim control-flow
# protection; every other protection must be there.
hardening-check --nocfprotection "$unpacked/usr/games/throngwick"

# The browser version, with the run build's pictures and sounds; its journey serves and drives it.
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)" >/dev/null

source "$root/scripts/display.sh"

ctest --preset test -j"$(nproc)"
"$root/scripts/fuzz.sh" 20 "$build" 20
