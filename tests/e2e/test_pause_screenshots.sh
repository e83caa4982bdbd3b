#!/usr/bin/env bash
# Pause, screenshots and exit, as a player uses them: Escape opens the menu;
# "Save screenshot" writes the paused scene without the menu or banners as
# the first free screenshotN.png, and a save that cannot be written says so
# and leaves nothing; "Display frame rate" draws the frame-rate line; "Resume
# game" plays on; "Exit" ends the game with status 0. Every picture check
# compares frames taken while paused, which show one frozen frame, so none
# depends on the cave.
source "$(dirname "$0")/lib.sh"
out=$(hm_output_dir)
W=640 H=480
SETTINGS=(screenw=$W screenh=$H viewrange=3 usefog=1 uselight=1 usetextures=1 usewater=1 mipmapping=1)
# Where nothing covers the frozen frame while paused (left and right of the
# menu, between the banners); the banners; the menu; the frame-rate line.
LEFT="0 60 145 360" RIGHT="495 60 145 360"
OVERLAYS=("0 0 $W 60" "0 $((H - 60)) $W 60" "170 100 300 180")
FRAME_RATE="0 0 360 60"
saved() { (cd "$HM_DIR" && ls -A | grep -c screenshot); }

hm_new_dir
hm_write_settings "${SETTINGS[@]}"
echo taken >"$HM_DIR/screenshot1.png" # numbers 1 and 3 are taken: the saves get 2 and 4
echo taken >"$HM_DIR/screenshot3.png"
hm_start
hm_wait_window
hm_open_menu "$out/paused.png"
hm_menu_click 2
hm_menu_click 2
shot="$out/screenshot.png"
cp "$HM_DIR/screenshot2.png" "$shot" || hm_fail "no screenshot2.png after \"Save screenshot\""
hm_expect_eq "$(hm_png info "$shot")" "$W $H 2 8 Created with LodePNG" "size, colour type, depth and comment"
hm_expect_eq "$(hm_png diff "$shot" "$HM_DIR/screenshot4.png")" 0 "pixels differing between two saves of one pause"
hm_expect_eq "$(cat "$HM_DIR/screenshot1.png" "$HM_DIR/screenshot3.png" | tr '\n' ' ')" "taken taken " \
    "the files that held numbers 1 and 3"
hm_expect_eq "$(saved)" 4 "screenshot files, no temporary ones left"
# The screenshot is the frozen frame: equal to the paused window where
# nothing covers it, unlike it under the banners and the menu.
hm_expect_eq "$(hm_png diff "$shot" "$out/paused.png" $LEFT)" 0 "pixels differing left of the menu"
hm_expect_eq "$(hm_png diff "$shot" "$out/paused.png" $RIGHT)" 0 "pixels differing right of the menu"
for region in "${OVERLAYS[@]}"; do
    read -r _ _ w h <<<"$region"
    hm_expect_more "$(hm_png diff "$shot" "$out/paused.png" $region)" $((w * h / 2)) \
        "pixels of $region where the screenshot shows no overlay"
done

# The frame-rate line comes on at the top left, under the upper banner,
# which lets a little of it through.
hm_menu_click 3
cp "$HM_FRAME" "$out/frame_rate.png"
hm_expect_more "$(hm_png diff "$out/frame_rate.png" "$out/paused.png" $FRAME_RATE)" 200 \
    "pixels of the frame-rate line's place changed by \"Display frame rate\""
hm_expect_eq "$(hm_png diff "$out/frame_rate.png" "$out/paused.png" $LEFT)" 0 "pixels changed by it below the banner"

# Resume: the banners slide away. Then pause again and leave through "Exit".
hm_menu_click 0
hm_expect_more "$(hm_png diff "$HM_FRAME" "$out/paused.png" $(hm_lower_banner))" 0 \
    "pixels of the lower banner moved by \"Resume game\""
hm_open_menu "$out/paused_again.png"
hm_menu_click 1
hm_wait_exit
hm_expect_eq "$HM_STATUS $(hm_stderr_lines)" "0 0" "exit status and stderr lines after \"Exit\""

# A save that cannot be written (a file-size limit far below any screenshot,
# its signal ignored so that write() fails): one line, no file, and the game
# goes on until "Exit".
hm_new_dir
hm_write_settings "${SETTINGS[@]}"
hm_start bash -c 'trap "" XFSZ && ulimit -f 1 && exec "$0"'
hm_wait_window
hm_open_menu "$out/paused_limited.png"
hm_menu_click 2
hm_expect_eq "$(grep -c 'screenshot not saved' "$HM_DIR/stderr.txt")" 1 "lines saying the screenshot was not saved"
hm_expect_eq "$(saved)" 0 "screenshot or temporary files after the failed save"
hm_menu_click 1
hm_wait_exit
hm_expect_eq "$HM_STATUS $(hm_stderr_lines)" "0 1" "exit status and stderr lines after the failed save and \"Exit\""
hm_finish
