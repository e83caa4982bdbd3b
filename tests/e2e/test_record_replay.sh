#!/usr/bin/env bash
# record and replay: a game played through the real window (walk, blocks placed and removed, a
# throw, an enemy, slow motion, flight) replays with --fast to the same checks; a copy with the walk's
# first press lifted diverges at the first check after it and says where; one made by another version
# says so and matches; Escape ends a replay early with its own status. HOLLOWMARK_RERECORD=1
# also keeps the recording as tests/replays/walk.hmr (see docs/testing.md).
source "$(dirname "$0")/lib.sh"
rr_run() { (cd "$HM_DIR" && exec "$HOLLOWMARK_BIN" "$@" >stdout.txt 2>stderr.txt) & HM_PID=$!; }
hm_new_dir screenw=320 screenh=240 viewrange=2 usetextures=1 usewater=1 seed=5 sound=1 mouselook=1
rr_run --record walk.hmr && hm_until 60 "no window with a frame drawn" hm_window
xdotool windowfocus "$HM_WIN" && xdotool keydown w && hm_mid && hm_mid && hm_mid && xdotool keyup w && hm_mid
step=0
for action in 2 3 5 6 7; do # place a block, remove it, throw, slow motion, an enemy
    while ((step < action)); do hm_key e; step=$((step + 1)); done
    hm_click $((HM_WIDTH / 2)) $((HM_HEIGHT / 2 + 40))
done
hm_key e && xdotool mousedown 1 && hm_mid && hm_mid && hm_mid && xdotool mouseup 1 && hm_mid # fly
xdotool mousemove_relative 30 0 && hm_mid && xdotool mousemove_relative -- -30 10 && hm_mid # a turn
hm_close_window && hm_ends "0 0" "after a recorded game"
rec=$HM_DIR/walk.hmr && [ -n "${HOLLOWMARK_RERECORD:-}" ] && cp "$rec" "$HOLLOWMARK_SOURCE/tests/replays/walk.hmr"
replay() { (cd "$HM_DIR" && "$HOLLOWMARK_BIN" --replay "$1" --fast >stdout.txt 2>stderr.txt); echo "$? $(cat "$HM_DIR/stdout.txt")"; }
result=$(replay walk.hmr)
[[ $result =~ ^0\ hollowmark:\ replay\ matched\ through\ tick\ ([0-9]+)\ \(([0-9]+)\ checks\)$ ]] ||
    hm_fail "replay of the recording: $result"
hm_expect_more "${BASH_REMATCH[2]}" 1 "checks matched"
read -r pressed checked <<<"$("$HOLLOWMARK_TOOLS/recording_tool" flip "$rec" "$HM_DIR/flipped.hmr" 119)" ||
    hm_fail "no press of W in the recording"
# The first check after the press; what the shorter walk changed later (where a block went) may show too.
flipped=$(replay flipped.hmr)
[[ $flipped =~ ^5\ hollowmark:\ replay\ diverged\ at\ tick\ $checked:\ (.*)\ differ\ \(matched\ through\ tick\ $(((pressed - 1) / 60 * 60))\)$ &&
    ${BASH_REMATCH[1]} == *player*camera* ]] || hm_fail "replay with the press of W at tick $pressed lifted: $flipped"
echo "ok: with the press of W at tick $pressed lifted: $flipped"
"$HOLLOWMARK_TOOLS/recording_tool" version "$rec" "$HM_DIR/other.hmr" 0.5 || hm_fail "cannot change the version"
hm_expect_eq "$(replay other.hmr | cut -d' ' -f1-5) $(cat "$HM_DIR/stderr.txt")" \
    "0 hollowmark: replay matched through hollowmark: recorded by version 0.5 of the game, this is 0.9; replaying anyway" \
    "replay of a recording made by another version"
rr_run --replay walk.hmr && hm_until 60 "no window for the replay" hm_window && xdotool windowfocus "$HM_WIN" keydown Escape &&
    hm_ends "7 0" "after Escape in a replay" && xdotool keyup Escape
hm_expect_eq "$(cut -d' ' -f1-4 "$HM_DIR/stdout.txt")" "hollowmark: replay stopped at" "the replay's last line"
