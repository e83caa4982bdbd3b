#!/usr/bin/env bash
# A file's name says whether it touches the platform: one that includes an
# SDL, GL or GLU header, or a header of ours named so, ends in _sdl or _gl; a
# source file named so does include one (a header named so may just declare
# what such files define). Usage: check_platform_names.sh SOURCE_DIR
set -u
cd "$1" || exit 2
platform_include='^\s*#\s*include\s*([<"](SDL|GL)/|"[^"]*_(sdl|gl)\.h")'
status=0
for f in $(find app world meshing render physics game ui screenshot tools tests fuzz bench \
               -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort); do
    touches=0
    grep -qE "$platform_include" "$f" && touches=1
    named=0
    case $(basename "${f%.*}") in *_sdl | *_gl) named=1 ;; esac
    if [ "$touches" = 1 ] && [ "$named" = 0 ]; then
        echo "$f includes SDL or GL but its name does not end in _sdl or _gl:"
        grep -nE "$platform_include" "$f"
        status=1
    elif [ "$touches" = 0 ] && [ "$named" = 1 ] && [ "${f%.h}" = "$f" ]; then
        echo "$f ends in _sdl or _gl but includes nothing of SDL or GL"
        status=1
    fi
done
[ "$status" = 0 ] && echo "every file that touches SDL or GL says so in its name"
exit "$status"
