#!/usr/bin/env bash
# Builds the Debian package: installs what building needs, builds the program (Release) with its
# pictures, sounds, icon and manual page, and lets CPack make build/package/throngwick_*.deb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/setup.sh" build
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"
cpack --preset package >/dev/null
ls "$root"/build/package/throngwick_*.deb
