#!/usr/bin/env bash
# test_scene_label.sh: the real game under a virtual X server draws a cave
# (not a blank or flat picture) after start-up, and the action label at the
# top right changes when E is pressed and comes back with Q.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

REGION_TOOL="$HOLLOWMARK_TOOLS/png_region"
[ -x "$REGION_TOOL" ] || hm_fail "png_region helper is not built"
out=$(hm_output_dir)

# The label at 800 x 600: panel at x 525, 250 wide, its frame reaching 20
# pixels beyond on every side (rows 4..53); the glyph cells lie in rows
# 20..39 over the panel's fill. The frame's outer pixels let the scene show
# through, so only the text rows inside the panel are compared.
LABEL_FRAME="505 4 290 50"
LABEL="525 20 250 20"
# The 3D picture below the label, clear of the pointer sprite (which rests
# at the window's centre, where it does not turn the view).
SCENE="0 60 800 540"

# Captures the window into $1 until the scene region looks like a drawn
# cave or the time runs out; prints the region's stats.
capture_scene() {
    local file=$1 deadline=$((SECONDS + 60)) stats=""
    while [ "$SECONDS" -lt "$deadline" ]; do
        hm_capture "$file"
        stats=$("$REGION_TOOL" stats "$file" $SCENE) || hm_fail "cannot measure $file"
        read -r colours lit _ <<<"$stats"
        if [ "$colours" -gt 200 ] && [ "$lit" -gt 20000 ]; then
            break
        fi
        sleep 0.5
    done
    echo "$stats"
}

# Captures until the label region differs from $2 by more than $3 pixels (or
# the time runs out); prints the count of differing pixels.
capture_label_change() {
    local file=$1 reference=$2 least=$3 deadline=$((SECONDS + 20)) differing=0
    while [ "$SECONDS" -lt "$deadline" ]; do
        hm_capture "$file"
        differing=$("$REGION_TOOL" diff "$reference" "$file" $LABEL) || hm_fail "cannot compare $file"
        [ "$differing" -gt "$least" ] && break
        sleep 0.25
    done
    echo "$differing"
}

hm_new_dir
hm_write_settings "screenw=800" "screenh=600" "viewrange=3" "usefog=1" "uselight=1" \
    "usetextures=1" "usewater=1" "showcursor=0"
hm_start
hm_wait_window
hm_expect_eq "$HM_WIDTH x $HM_HEIGHT" "800 x 600" "window size"
hm_pointer 400 300

read -r colours lit mean <<<"$(capture_scene "$out/start.png")"
hm_note "scene after start-up: $colours colours, $lit lit pixels, mean brightness $mean"
[ "$colours" -gt 200 ] || hm_expect_eq "few colours ($colours)" "more than 200 colours" "a textured, lit cave"
[ "$lit" -gt 20000 ] || hm_expect_eq "$lit lit pixels" "more than 20000" "a cave, not a black picture"

read -r _ textLit _ <<<"$("$REGION_TOOL" stats "$out/start.png" $LABEL)"
read -r frameColours _ _ <<<"$("$REGION_TOOL" stats "$out/start.png" $LABEL_FRAME)"
hm_note "label: $textLit lit pixels in the text rows, $frameColours colours in its frame"
[ "$textLit" -gt 200 ] || hm_expect_eq "$textLit lit pixels" "more than 200" "the label's text is drawn"
[ "$frameColours" -gt 20 ] || hm_expect_eq "$frameColours colours" "more than 20" "the label's panel is drawn"

# E steps to the next action: the text changes inside the label's frame.
hm_key e
changed=$(capture_label_change "$out/after_e.png" "$out/start.png" 100)
hm_note "label pixels changed by E: $changed"
[ "$changed" -gt 100 ] || hm_expect_eq "$changed" "more than 100" "label pixels changed by E"

# Q steps back: the first label returns.
hm_key q
back=$(capture_label_change "$out/after_q.png" "$out/after_e.png" 100)
again=$("$REGION_TOOL" diff "$out/start.png" "$out/after_q.png" $LABEL)
hm_note "label pixels after Q: $back differ from E's label, $again from the first"
[ "$again" -lt $((changed / 5)) ] || hm_expect_eq "$again" "fewer than $((changed / 5))" "Q brings the first label back"

hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after closing the window"
hm_finish
