#!/usr/bin/env bash
# Dependencies run one way (world, meshing, physics, game, then render and ui): no core file
# outside render/ and ui/ includes a header of theirs; nothing in physics/, world/ or meshing/
# includes one of game/. The _sdl and _gl files may include anything.
# Usage: check_dependencies.sh SOURCE_DIR
cd "$1" || exit 2
core=$(find app world meshing physics game screenshot -name '*.h' -o -name '*.cpp' |
       grep -vE '_(sdl|gl)\.[^/]*$')
lower=$(find physics world meshing -name '*.h' -o -name '*.cpp')
upward=$(grep -lE '^\s*#\s*include\s*"(render|ui)/' $core)
intoGame=$(grep -lE '^\s*#\s*include\s*"game/' $lower)
[ -z "$upward$intoGame" ] && echo "every include runs down the dependency order" && exit 0
[ -n "$upward" ] && echo "core files that include a header of render/ or ui/:" $upward
[ -n "$intoGame" ] && echo "physics, world or meshing files that include a header of game/:" $intoGame
exit 1
