#!/usr/bin/env bash
# Regenerates the artwork with the generator and checks that the committed
# Media/ images are exactly what it produces, so the images in the repository
# never drift from the code that makes them.
# Usage: check_media.sh <make_media binary> <repository root>
set -eu
generator=$1
root=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$generator" "$out"
status=0
for name in dashboard.png worldtexture.png; do
    if cmp "$out/$name" "$root/Media/$name"; then
        echo "$name: identical"
    else
        echo "$name: differs from the generator's output (run: make_media Media)"
        status=1
    fi
done
exit $status
