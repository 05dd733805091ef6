#!/usr/bin/env bash
# Builds the Debian packages: installs what building needs, builds the program (Release) with its
# pictures, sounds, icon and manual page, and lets CPack make build/package/throngwick_*.deb (the
# program) and build/package/throngwick-data_*.deb (its pictures and sounds). Their time stamps
# are the last commit's (or SOURCE_DATE_EPOCH's; without git, the changelog's latest entry's), so
# the same sources packaged twice give the same bytes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/setup.sh" build
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)"
rm -f build/package/*.deb
cpack --preset package >/dev/null
ls build/package/*.deb
