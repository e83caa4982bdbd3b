#!/usr/bin/env bash
# F12 with "screenshotkey": a whole PNG of the scene as it stands, without the
# game pausing; a second press writes the next number.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"
source "$(dirname "$0")/ui_helpers.sh"
UI_OUT=$(hm_output_dir)

hm_new_dir
# One fixed cave where the player comes to rest, so the comparisons below
# never depend on which cave the clock would pick.
hm_write_settings "${UI_SETTINGS[@]}" "screenshotkey=1" "seed=7"
hm_start
hm_wait_window
hm_pointer 400 300
ui_wait_still "$UI_OUT/before.png"

hm_key F12
ui_wait_file screenshot1.png || hm_fail "no screenshot1.png after F12"
sleep 0.3
hm_capture "$UI_OUT/after.png"
shot="$UI_OUT/screenshot1.png"
cp "$HM_DIR/screenshot1.png" "$shot"
hm_expect_eq "$("$HOLLOWMARK_TOOLS/png_examine" info "$shot")" \
    "800 600 2 8 Created with LodePNG" "screenshot size, colour type, depth and comment"
# The file is the scene, with no banner or menu over it, and the window shows
# no banners either: the game did not pause.
for region in "$UI_UPPER_BANNER" "$UI_LOWER_BANNER" "$UI_MENU_RECT"; do
    hm_expect_eq "$(ui_below "$(ui_mean "$shot" "$UI_OUT/before.png" "$region")" 6 && echo scene)" \
        scene "screenshot region $region against the scene before F12"
    hm_expect_eq "$(ui_below "$(ui_mean "$UI_OUT/after.png" "$UI_OUT/before.png" "$region")" 6 && echo scene)" \
        scene "window region $region after F12 against the scene before it"
done

hm_key F12
ui_wait_file screenshot2.png || hm_fail "no screenshot2.png after the second F12"
sleep 0.3
hm_expect_eq "$(ui_saved_files)" "screenshot1.png screenshot2.png " "screenshot files in the folder"
hm_expect_eq "$("$HOLLOWMARK_TOOLS/png_examine" info "$HM_DIR/screenshot2.png")" \
    "800 600 2 8 Created with LodePNG" "second screenshot"

hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status"
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr"
hm_finish
