#!/usr/bin/env bash
# keepcave=1: a block placed, "Exit", a new start: the game goes on in the mode it was left in.
# "New cave" takes another seed and keeps a backup. A game that finds the cave in use says so in
# one line and leaves the save alone. (Scenes are not compared across runs: the harness's pointer
# nudges turn the view a little. The unit tests hold a loaded game to the game played on.)
source "$(dirname "$0")/lib.sh"
W=640 H=480
SETTINGS=(screenw=$W screenh=$H viewrange=3 usefog=1 uselight=1 usetextures=1 usewater=0 plainlabels=1 keepcave=1)
LABEL="360 16 260 26" # inside the action type's panel, top right, over the dark of the far cave
SEED="500 438 130 24" # the seed at the right of the lower banner, while paused
label_diff() { hm_png diff "$1" "$2" $LABEL; }
keep() { cp "$HM_FRAME" "$HM_DIR/$1.png"; }
files() { (cd "$HM_DIR" && ls -A | grep -e cave | sort | tr '\n' ' '); }

hm_new_dir "${SETTINGS[@]}" seed=12
hm_play && keep start
hm_key e && hm_key e # raise ground -> lower ground -> place block
hm_click $((W / 2)) $((H / 2)) && keep placed # straight ahead: the fogged dark behind the label stays
hm_expect_more "$(label_diff "$HM_DIR/placed.png" "$HM_DIR/start.png")" 100 "label pixels changed by the mode"
hm_open_menu && hm_menu_click 1 && hm_ends "0 0" "after Exit"
hm_expect_eq "$(files)" "cave.lock cave.sav " "files after the first game" && cp "$HM_DIR/cave.sav" "$HM_DIR/first.copy"

printf '%b\n' "${SETTINGS[@]}" seed=0 >"$HM_DIR/settings.ini" # the saved cave wins over the seed
hm_play && keep loaded
hm_expect_eq "$(label_diff "$HM_DIR/loaded.png" "$HM_DIR/placed.png")" 0 "label pixels differing from before the exit"
hm_open_menu
hm_menu_click 5 # "New cave": a seed from the clock; the frozen scene stays until the menu closes
hm_expect_more "$(hm_png diff "$HM_FRAME" "$HM_DIR/paused.png" $SEED)" 20 "seed pixels changed by New cave"
hm_menu_click 0 && hm_key e && hm_key e # the place-block mode again, to be seen kept or not
hm_open_menu && hm_menu_click 4 # "Save cave", then leave by closing the window
hm_close_window && hm_ends "0 0" "after New cave, Save cave and closing the window"
hm_expect_eq "$(files)" "cave.bak cave.lock cave.sav " "files after New cave"
cmp -s "$HM_DIR/cave.sav" "$HM_DIR/first.copy" && hm_fail "cave.sav is still the first game's"
cp "$HM_DIR/cave.sav" "$HM_DIR/saved.copy"

# Another game keeps this folder: a process holding the lock itself (fd 9), so killing it frees it.
(exec 9>"$HM_DIR/cave.lock" && flock 9 && exec sleep 300) >/dev/null 2>&1 & HOLDER=$!
trap 'kill $HOLDER; hm_cleanup' EXIT
hm_until 30 "the other holder did not take the lock" eval '! flock -n "$HM_DIR/cave.lock" true'
hm_play
hm_expect_more "$(label_diff "$HM_FRAME" "$HM_DIR/placed.png")" 100 "label pixels differing from the kept game's mode"
hm_expect_eq "$(grep -c 'in use by another game' "$HM_DIR/stderr.txt")" 1 "lines saying the cave is in use"
hm_exit_by_menu "0 1" "as a second game"
kill "$HOLDER" && wait "$HOLDER" 2>/dev/null; trap hm_cleanup EXIT
cmp -s "$HM_DIR/cave.sav" "$HM_DIR/saved.copy" || hm_fail "the second game changed cave.sav"
hm_expect_eq "$(files)" "cave.bak cave.lock cave.sav " "files after the second game"
