#!/usr/bin/env bash
# Checks that the Debian packages are reproducible: the same commit gives the same bytes.
#
#   scripts/reproducible.sh          packages the last commit twice, in two fresh clones at
#                                    different paths, and compares the bytes (two full builds)
#   scripts/reproducible.sh --build  compares build/package/, which scripts/package.sh made from
#                                    this checkout, with the packages of one fresh clone; with
#                                    uncommitted changes, with build/ packed once more instead
# Sources that are not a git checkout of their own (a release's tarball) are copied, not cloned.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd -P)"
scratch="$root/build/reproducible"
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
commit=""
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    commit="$(git -C "$root" rev-parse HEAD)"
fi

# packaged FOLDER: the last commit cloned into FOLDER, or the sources copied there without their
# builds, and packaged there.
packaged() {
    if [ -n "$commit" ]; then
        git clone -q "$root" "$1"
        git -C "$1" checkout -q --detach "$commit"
    else
        mkdir -p "$1"
        tar -C "$root" --exclude='./build*' -cf - . | tar -C "$1" -xf -
    fi
    "$1/scripts/package.sh" >"$1.log" 2>&1 || { cat "$1.log" >&2; return 1; }
}

# same FOLDER FOLDER: every package of the first byte for byte the same as in the second.
same() {
    local debs=("$1"/*.deb) status=0
    [ -e "${debs[0]}" ] || { echo "no package in $1" >&2; return 1; }
    for deb in "${debs[@]}"; do
        local other="$2/$(basename "$deb")"
        if cmp "$deb" "$other"; then
            echo "the same bytes twice: $(basename "$deb") ($(stat -c %s "$deb") bytes)"
        else
            diff <(dpkg-deb -I "$deb" && dpkg-deb -c "$deb") \
                <(dpkg-deb -I "$other" && dpkg-deb -c "$other") >&2 || true
            status=1
        fi
    done
    return $status
}

if [ "${1:-}" != --build ]; then
    if [ -n "$commit" ]; then
        echo "packaging ${commit:0:7} twice, in two clones"
    else
        echo "packaging the sources twice, in two copies"
    fi
    packaged "$scratch/first/throngwick"
    packaged "$scratch/the-second-build/throngwick"
    same "$scratch/first/throngwick/build/package" "$scratch/the-second-build/throngwick/build/package"
elif [ -z "$commit" ]; then
    echo "build/package/ against the sources packaged in a copy"
    packaged "$scratch/elsewhere/throngwick"
    same "$root/build/package" "$scratch/elsewhere/throngwick/build/package"
elif [ -z "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "build/package/ against ${commit:0:7} packaged in a clone"
    packaged "$scratch/elsewhere/throngwick"
    same "$root/build/package" "$scratch/elsewhere/throngwick/build/package"
else
    echo "uncommitted changes: build/ packed once more, not a clone of ${commit:0:7}"
    (cd "$root" && cpack --preset package -B "$scratch" >/dev/null)
    same "$root/build/package" "$scratch"
fi
