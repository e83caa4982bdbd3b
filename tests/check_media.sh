#!/usr/bin/env bash
# The committed artwork is exactly what the generator makes, so it never drifts from the code.
# Usage: check_media.sh MAKE_MEDIA REPOSITORY_ROOT
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT && "$1" "$out" || exit 1
diff -r "$out" "$2/Media" || { echo "Media/ is not what the generator makes (run: make_media Media)"; exit 1; }
