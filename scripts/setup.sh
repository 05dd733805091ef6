#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those missing (apt-get update once, first).
#
#   scripts/setup.sh build   building the program, its pictures and sounds, and its package
#   scripts/setup.sh web     the above, and building the browser version
#   scripts/setup.sh test    all of the above, and the tests (the browser's too), benchmarks and
#                            fuzzing
set -euo pipefail

build=(
    build-essential cmake pkg-config file help2man
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libsdl2-mixer-dev libmpg123-dev libmp3lame-dev libpng-dev
    libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
    libfreetype-dev fonts-dejavu-core
)
web=(emscripten)
test=(
    clang libclang-rt-14-dev clang-format
    chromium chromium-driver python3-selenium
    libgtest-dev libbenchmark-dev
    libx11-dev xvfb xauth xdotool x11-utils
    python3 python3-numpy python3-pil python3-xlib ffmpeg
    lintian desktop-file-utils appstream devscripts
)

case "${1:-}" in
build) packages=("${build[@]}") ;;
web) packages=("${build[@]}" "${web[@]}") ;;
test) packages=("${build[@]}" "${web[@]}" "${test[@]}") ;;
*)
    echo "usage: $0 build|web|test" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
