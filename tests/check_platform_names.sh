#!/usr/bin/env bash
# A file's name says whether it touches the platform: one that includes an
# SDL, GL or GLU header, or a header of ours named so, ends in _sdl or _gl; a
# source file named so does include one (a header named so may just declare
# what such files define). One grep over the tree, so the check stays quick
# on a loaded machine. Usage: check_platform_names.sh SOURCE_DIR
set -u
cd "$1" || exit 2
platform_include='^\s*#\s*include\s*([<"](SDL|GL)/|"[^"]*_(sdl|gl)\.h")'
mapfile -t files < <(find app world meshing render physics game ui screenshot tools tests fuzz bench \
                          \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)
declare -A touches=()
while IFS= read -r f; do touches[$f]=1; done < <(grep -lE "$platform_include" "${files[@]}")
status=0
for f in "${files[@]}"; do
    base=${f##*/}
    base=${base%.*}
    named=0
    case $base in *_sdl | *_gl) named=1 ;; esac
    if [ -n "${touches[$f]:-}" ] && [ "$named" = 0 ]; then
        echo "$f includes SDL or GL but its name does not end in _sdl or _gl:"
        grep -nE "$platform_include" "$f"
        status=1
    elif [ -z "${touches[$f]:-}" ] && [ "$named" = 1 ] && [ "${f%.h}" = "$f" ]; then
        echo "$f ends in _sdl or _gl but includes nothing of SDL or GL"
        status=1
    fi
done
[ "$status" = 0 ] && echo "every file that touches SDL or GL says so in its name"
exit "$status"
