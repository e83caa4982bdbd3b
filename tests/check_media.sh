#!/usr/bin/env bash
# The committed artwork and sounds are exactly what the generators make, so they never drift from
# the code. Usage: check_media.sh MAKE_MEDIA REPOSITORY_ROOT [MAKE_SOUNDS]
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT && "$1" "$out" && { [ -z "${3:-}" ] || "$3" "$out/sounds"; } || exit 1
diff -r "$out" "$2/Media" || { echo "Media/ is not what the generators make (run: make_media Media; make_sounds Media/sounds)"; exit 1; }
