#!/usr/bin/env bash
# Checks that the Debian packages are reproducible: the same commit gives the same bytes.
#
#   scripts/reproducible.sh          builds the packages of the last commit twice, from two copies
#                                    at different paths, and compares them (two full builds)
#   scripts/reproducible.sh --again  packs build/'s program and files again (scripts/package.sh
#                                    made them) and compares with build/package/ (seconds)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# same FOLDER FOLDER: every package of the first byte for byte the same as in the second.
same() {
    local debs=("$1"/*.deb) status=0
    [ -e "${debs[0]}" ] || { echo "no package in $1" >&2; return 1; }
    for deb in "${debs[@]}"; do
        local other="$2/$(basename "$deb")"
        if cmp "$deb" "$other"; then
            echo "the same bytes twice: $(basename "$deb") ($(stat -c %s "$deb") bytes)"
        else
            diff <(dpkg-deb -I "$deb" && dpkg-deb -c "$deb") <(dpkg-deb -I "$other" && dpkg-deb -c "$other") >&2 || true
            status=1
        fi
    done
    return $status
}

if [ "${1:-}" = --again ]; then
    cd "$root"
    cpack --preset package -B "$scratch" >/dev/null
    same build/package "$scratch"
    exit
fi

commit="$(git -C "$root" rev-parse HEAD)"
echo "packaging ${commit:0:7} twice, in two clones"
for copy in first/throngwick the-second-build/throngwick; do
    git clone -q "$root" "$scratch/$copy"
    git -C "$scratch/$copy" checkout -q --detach "$commit"
    "$scratch/$copy/scripts/package.sh" >"$scratch/$(dirname "$copy").log" 2>&1 ||
        { cat "$scratch/$(dirname "$copy").log" >&2; exit 1; }
done
same "$scratch/first/throngwick/build/package" "$scratch/the-second-build/throngwick/build/package"
