#!/usr/bin/env bash
# The committed artwork and sounds are exactly what the generators make, so they never drift from
# the code. Usage: check_media.sh MAKE_MEDIA REPOSITORY_ROOT [MAKE_SOUNDS]
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT && "$1" "$out" && { [ -z "${3:-}" ] || "$3" "$out/sounds"; } || exit 1
diff -r "$out" "$2/Media" || { echo "Media/ is not what the generators make (run: make_media Media; make_sounds Media/sounds)"; exit 1; }
# Each sound measured: no clipping, the same loudness across the set, no click at either end.
for wav in "$2"/Media/sounds/*.wav; do
    read -r peak rms < <(sox "$wav" -n stats 2>&1 | awk '/^Pk lev dB/ {p = $4} /^RMS lev dB/ {r = $4} END {print p, r}')
    ends=$(od -An -v -t d2 -j 44 "$wav" | tr -s ' ' '\n' | sed '/^$/d' | sed -n '1p;$p' | tr '\n' ' ')
    awk -v p="$peak" -v r="$rms" 'BEGIN { exit !(p < -1 && r > -21.5 && r < -18.5) }' && [ "$ends" = "0 0 " ] ||
        { echo "$wav: peak $peak dB, RMS $rms dB, first and last samples $ends"; exit 1; }
done
