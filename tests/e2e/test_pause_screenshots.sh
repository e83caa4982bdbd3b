#!/usr/bin/env bash
# Pause, screenshots and exit, as a player uses them: Escape opens the menu;
# "Save screenshot" writes the paused scene without the menu or banners as
# the first free screenshotN.png, and a save that cannot be written says so
# and leaves nothing; "Display frame rate" draws the frame-rate line; "Resume
# game" plays on; "Exit" ends the game with status 0. Every check compares
# pictures taken while paused, which show one frozen frame, so none depends
# on the cave.
source "$(dirname "$0")/lib.sh"
out=$(hm_output_dir)
W=640 H=480
SETTINGS=(screenw=$W screenh=$H viewrange=3 usefog=1 uselight=1 usetextures=1 usewater=1 mipmapping=1)
# Where no overlay is drawn while paused (left and right of the menu, between
# the banners); the two banners; the menu's buttons; the frame-rate line.
LEFT="0 60 145 360" RIGHT="495 60 145 360"
UPPER_BANNER="0 0 $W 60" LOWER_BANNER="0 $((H - 60)) $W 60" MENU="170 100 300 180"
FRAME_RATE="0 0 360 60"

hm_new_dir
hm_write_settings "${SETTINGS[@]}"
# Numbers 1 and 3 are taken: the saves must get 2 and 4.
echo taken >"$HM_DIR/screenshot1.png"
echo taken >"$HM_DIR/screenshot3.png"
hm_start
hm_wait_window
hm_open_menu "$out/paused.png"

hm_menu_click 2
hm_wait_file screenshot2.png || hm_fail "no screenshot2.png after \"Save screenshot\""
hm_menu_click 2
hm_wait_file screenshot4.png || hm_fail "no screenshot4.png after the second \"Save screenshot\""
shot="$out/screenshot.png"
cp "$HM_DIR/screenshot2.png" "$shot"
hm_expect_eq "$(hm_png info "$shot")" "$W $H 2 8 Created with LodePNG" \
    "screenshot size, colour type, bit depth and comment"
hm_expect_eq "$(hm_png diff "$shot" "$HM_DIR/screenshot4.png" 0 0 $W $H)" 0 \
    "pixels differing between the two screenshots of one pause"
hm_expect_eq "$(cat "$HM_DIR/screenshot1.png" "$HM_DIR/screenshot3.png")" "taken"$'\n'"taken" \
    "the files that held numbers 1 and 3"
hm_expect_eq "$(cd "$HM_DIR" && ls -A | grep -c screenshot)" 4 "screenshot files, no temporary ones left"
# The screenshot is the frozen frame: equal to the paused window where
# nothing covers it, unlike it under the banners and the menu.
hm_expect_eq "$(hm_png diff "$shot" "$out/paused.png" $LEFT)" 0 "pixels differing left of the menu"
hm_expect_eq "$(hm_png diff "$shot" "$out/paused.png" $RIGHT)" 0 "pixels differing right of the menu"
for region in "$UPPER_BANNER" "$LOWER_BANNER" "$MENU"; do
    read -r _ _ w h <<<"$region"
    hm_expect_more "$(hm_png diff "$shot" "$out/paused.png" $region)" $((w * h / 2)) \
        "pixels of $region where the screenshot shows no overlay"
done

# The frame-rate line comes on at the top left, under the upper banner,
# which lets a little of it through.
hm_menu_click 3
hm_wait_change "$out/frame_rate.png" "$out/paused.png" $FRAME_RATE
hm_expect_more "$(hm_png diff "$out/frame_rate.png" "$out/paused.png" $FRAME_RATE)" 200 \
    "pixels of the frame-rate line's place changed by \"Display frame rate\""
hm_expect_eq "$(hm_png diff "$out/frame_rate.png" "$out/paused.png" $LEFT)" 0 \
    "pixels changed by it below the banner"

# Resume: the menu slides away. Then pause again and leave through "Exit".
hm_menu_click 0
hm_pointer $((W / 2)) $((H / 2))
hm_wait_change "$out/resumed.png" "$out/frame_rate.png" $(hm_lower_banner) ||
    hm_fail "the game stayed paused after \"Resume game\""
hm_open_menu "$out/paused_again.png"
hm_menu_click 1
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\""
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr"

# A save that cannot be written (a file-size limit far below any screenshot,
# its signal ignored so that write() fails): one line, no file, and the game
# goes on until "Exit".
hm_new_dir
hm_write_settings "${SETTINGS[@]}"
hm_start bash -c 'trap "" XFSZ && ulimit -f 1 && exec "$0"'
hm_wait_window
hm_open_menu "$out/paused_limited.png"
hm_menu_click 2
deadline=$((SECONDS + 10))
while [ "$(hm_stderr_lines)" = 0 ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
hm_expect_eq "$(grep -c 'screenshot not saved' "$HM_DIR/stderr.txt")" 1 "lines saying the screenshot was not saved"
hm_expect_eq "$(cd "$HM_DIR" && ls -A | grep -c screenshot)" 0 "screenshot or temporary files"
hm_menu_click 1
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\" following the failed save"
hm_expect_eq "$(hm_stderr_lines)" 1 "lines on stderr after the failed save"
hm_finish
