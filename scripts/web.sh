#!/usr/bin/env bash
# Builds the browser version into build-web/site/ (the page, the program as WebAssembly, and the
# pictures and sounds, which the desktop build's generators make into build/run/), then serves
# that folder on this machine only and prints the address to open.
#
#   scripts/web.sh [PORT]     PORT defaults to 8018; Ctrl-C stops the server
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8018}"

"$root/scripts/setup.sh" web
cd "$root"
cmake --preset run >/dev/null
cmake --build --preset run -j"$(nproc)" --target assets >/dev/null
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"

echo "Throngwick is at http://127.0.0.1:$port/ (Ctrl-C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build-web/site"
