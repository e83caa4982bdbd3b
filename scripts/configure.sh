#!/usr/bin/env bash
# Configures a build folder the way every script here does, so that playing
# (run.sh) and testing (test.sh) share build/ and rebuild only what changed:
# Release, Ninja and the lld linker when they are installed (a folder keeps
# the generator it was first made with).
# Usage: configure.sh FOLDER [cmake argument...]; extra linker flags in
# HOLLOWMARK_LINK_FLAGS.
set -eu
folder=$1
shift
args=(-S "$(cd "$(dirname "$0")/.." && pwd)" -B "$folder" -DCMAKE_BUILD_TYPE=Release)
if [ ! -e "$folder/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    args+=(-G Ninja)
fi
link=${HOLLOWMARK_LINK_FLAGS:-}
if command -v ld.lld >/dev/null; then
    link="-fuse-ld=lld $link"
fi
exec cmake "${args[@]}" "-DCMAKE_EXE_LINKER_FLAGS=$link" "$@" >/dev/null
