#!/usr/bin/env bash
# Installs every Debian package the program, its generators and its tests need (only the missing ones).
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libsdl2-mixer-dev libmpg123-dev libmp3lame-dev
    libfreetype-dev fonts-dejavu-core
    libgtest-dev libbenchmark-dev
    libx11-dev xvfb xauth xdotool x11-utils python3 python3-numpy python3-pil python3-xlib
)

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
