#!/usr/bin/env bash
# Fails when a file of the core library, or a header it includes from the
# project, includes SDL or OpenGL: the core must build and run with no display.
# Usage: check_core_includes.sh SOURCE_DIR core-source...
set -u
root=$1; shift
cd "$root" || exit 2
files=$(ls world/*.h world/*.cpp meshing/*.h meshing/*.cpp physics/*.h physics/*.cpp game/*.h game/*.cpp 2>/dev/null)
for src in "$@"; do
    rel=${src#"$root"/}
    files="$files $rel"
    header=${rel%.cpp}.h
    [ -f "$header" ] && files="$files $header"
done
# Follow project includes one level at a time until nothing new turns up.
seen=""
queue=$files
while [ -n "$(echo $queue)" ]; do
    next=""
    for f in $queue; do
        case " $seen " in *" $f "*) continue;; esac
        seen="$seen $f"
        for inc in $(grep -hoE '^\s*#\s*include\s*"[^"]+"' "$f" 2>/dev/null | sed -E 's/.*"([^"]+)"/\1/'); do
            [ -f "$inc" ] && next="$next $inc"
        done
    done
    queue=$next
done
bad=$(grep -nE '^\s*#\s*include\s*[<"](SDL|GL/|SDL/|OpenGL)' $seen 2>/dev/null)
if [ -n "$bad" ]; then
    echo "core library files include platform headers:"
    echo "$bad"
    exit 1
fi
echo "core library: $(echo $seen | wc -w) files, no SDL or GL includes"
