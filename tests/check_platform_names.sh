#!/usr/bin/env bash
# A file that includes an SDL, GL or GLU header, or a header of ours named so, ends in _sdl or _gl;
# a source file named so includes one (a header may just declare what such files define).
# Usage: check_platform_names.sh SOURCE_DIR
cd "$1" || exit 2
include='^\s*#\s*include\s*([<"](SDL|GL)/|"[^"]*_(sdl|gl)\.h")'
files=$(find app world meshing render physics game ui screenshot tools tests fuzz bench -name '*.[ch]' -o -name '*.cpp')
wrong=$(grep -lE "$include" $files | grep -vE '_(sdl|gl)\.[^/]*$'; grep -LE "$include" $files | grep -E '_(sdl|gl)\.c(pp)?$')
[ -z "$wrong" ] && echo "every file that touches SDL or GL says so in its name" && exit 0
echo "the includes of SDL, GL or GLU and the name (_sdl, _gl) disagree in:" $wrong
exit 1
