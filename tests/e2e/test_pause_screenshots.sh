#!/usr/bin/env bash
# Escape pauses; "Save screenshot" and F12 (screenshotkey, also unpaused) save the frozen scene of a
# fixed cave without menu or banners as the first free screenshotN.png, nothing else; the frame rate
# shows; Resume plays on; Exit gives 0. A failed save says so in one line, leaves nothing, play goes on.
source "$(dirname "$0")/lib.sh"
W=640 H=480
SETTINGS=(screenw=$W screenh=$H viewrange=3 usefog=1 uselight=1 usetextures=1 usewater=1 screenshotkey=1 seed=12)
LEFT="0 60 145 360" RIGHT="495 60 145 360" # the frozen scene beside the menu, between the banners
saved() { (cd "$HM_DIR" && ls -A | grep -c screenshot); }
diff_paused() { hm_png diff "$1" "$HM_DIR/paused.png" "${@:2}"; }
hm_new_dir "${SETTINGS[@]}"
echo taken | tee "$HM_DIR/screenshot1.png" >"$HM_DIR/screenshot3.png" # the saves get 2, 4, 5, 6
hm_play
hm_key F12
hm_open_menu # so F12 did not pause, or there would be no menu
hm_menu_click 2; hm_menu_click 2; hm_key F12
s=$HM_DIR/screenshot shot=$HM_DIR/screenshot4.png
hm_png diff ${s}2.png "$HM_DIR/paused.png" >/dev/null # F12's, unpaused: a PNG of the window's size
hm_expect_eq "$(hm_png diff "$shot" ${s}5.png) $(hm_png diff "$shot" ${s}6.png)" "0 0" "pixels differing from F12's and the second save"
hm_expect_eq "$(cat ${s}[13].png | tr '\n' ' ')$(saved)" "taken taken 6" "numbers 1 and 3 kept, screenshot files, none temporary"
hm_expect_eq "$(diff_paused "$shot" $LEFT) $(diff_paused "$shot" $RIGHT)" "0 0" "pixels differing beside the menu"
for region in "0 0 $W 60" "0 $((H - 60)) $W 60" "170 100 300 180"; do # banners, menu
    read -r _ _ w h <<<"$region"
    hm_expect_more "$(diff_paused "$shot" $region)" $((w * h / 2)) "pixels of $region without the overlay"
done
hm_menu_click 3 # the frame-rate line at the top left, under the upper banner
hm_expect_more "$(diff_paused "$HM_FRAME" 0 0 360 60)" 200 "pixels of the frame-rate line"
hm_expect_eq "$(diff_paused "$HM_FRAME" $LEFT)" 0 "pixels it changed below the banner"
hm_menu_click 0
hm_expect_more "$(diff_paused "$HM_FRAME" 0 $((H - 60)) $W 60)" 0 "pixels of the lower banner moved by resuming"
hm_exit_by_menu "0 0" "after Exit"
hm_new_dir "${SETTINGS[@]}" # a file-size limit, its signal ignored, so that write() fails
hm_play bash -c 'trap "" XFSZ && ulimit -f 1 && exec "$0"'
hm_open_menu
hm_menu_click 2
hm_expect_eq "$(grep -c 'screenshot not saved' "$HM_DIR/stderr.txt") $(saved)" "1 0" "lines on the failed save, files left"
hm_menu_click 1
hm_ends "0 1" "after the failed save and Exit"
