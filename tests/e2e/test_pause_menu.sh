#!/usr/bin/env bash
# The pause menu as a player uses it: Escape opens it, "Save screenshot"
# writes the paused scene without any of the menu, twice, "Display frame
# rate" shows the frame-rate box after resuming, and "Exit" ends the game.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"
source "$(dirname "$0")/ui_helpers.sh"
UI_OUT=$(hm_output_dir)

hm_new_dir
hm_write_settings "${UI_SETTINGS[@]}"
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" "800x600" "window size"
# The pointer rests at the window centre, where the view does not turn (the
# game turns by the pointer's offset from the centre), between two buttons
# of the open menu and outside the strips compared below.
hm_pointer 400 300
ui_wait_still "$UI_OUT/before_pause.png"

hm_key Escape
ui_wait_menu_open "$UI_OUT/paused.png" "$UI_OUT/before_pause.png"

hm_click 400 "$UI_SCREENSHOT_Y"
ui_wait_file screenshot1.png || hm_fail "no screenshot1.png after clicking \"Save screenshot\""
shot1="$UI_OUT/screenshot1.png"
sleep 0.3 # the file appears whole (renamed into place); let a second click not follow too fast
cp "$HM_DIR/screenshot1.png" "$shot1"
hm_expect_eq "$("$HOLLOWMARK_TOOLS/png_examine" info "$shot1")" \
    "800 600 2 8 Created with LodePNG" "screenshot size, colour type, depth and comment"

# Where no overlay is drawn the paused window shows the frozen frame itself:
# the screenshot must match it pixel for pixel there.
hm_expect_eq "$(ui_differing "$shot1" "$UI_OUT/paused.png" "$UI_LEFT_STRIP")" 0 \
    "differing pixels left of the menu, screenshot against the paused window"
hm_expect_eq "$(ui_differing "$shot1" "$UI_OUT/paused.png" "$UI_RIGHT_STRIP")" 0 \
    "differing pixels right of the menu, screenshot against the paused window"
# Where the banners and the menu are drawn the screenshot shows the scene
# instead: it is far from the paused window there and close to the scene
# captured just before the pause.
for region in "$UI_UPPER_BANNER" "$UI_LOWER_BANNER" "$UI_MENU_RECT"; do
    mean_paused=$(ui_mean "$shot1" "$UI_OUT/paused.png" "$region")
    mean_before=$(ui_mean "$shot1" "$UI_OUT/before_pause.png" "$region")
    if ui_below "$mean_before" 6 && ui_below 10 "$mean_paused"; then
        hm_note "ok: region $region is the scene (mean difference $mean_before) not the overlay ($mean_paused)"
    else
        hm_expect_eq "scene $mean_before, overlay $mean_paused" "scene < 6, overlay > 10" \
            "mean difference of region $region from the scene before the pause and from the paused window"
    fi
done

hm_click 400 "$UI_SCREENSHOT_Y"
ui_wait_file screenshot2.png || hm_fail "no screenshot2.png after the second click"
sleep 0.3
hm_expect_eq "$(ui_differing "$HM_DIR/screenshot1.png" "$HM_DIR/screenshot2.png" "0 0 800 600")" 0 \
    "differing pixels between the first and the second screenshot"
hm_expect_eq "$(ui_saved_files)" "screenshot1.png screenshot2.png " "screenshot files in the folder"

# The frame-rate switch, then resume: the box appears at the top left.
hm_click 400 "$UI_FRAME_RATE_Y"
sleep 0.3
hm_capture "$UI_OUT/switched.png"
hm_click 400 "$UI_RESUME_Y"
hm_pointer 400 300
ui_wait_resumed "$UI_OUT/resumed.png" "$UI_OUT/before_pause.png" "$UI_OUT/paused.png"
box_mean=$(ui_mean "$UI_OUT/resumed.png" "$UI_OUT/before_pause.png" "$UI_FRAME_RATE_BOX")
rest_mean=$(ui_mean "$UI_OUT/resumed.png" "$UI_OUT/before_pause.png" "$UI_LEFT_STRIP")
if ui_below 10 "$box_mean" && ui_below "$rest_mean" 6; then
    hm_note "ok: the frame-rate box changed its place (mean $box_mean) while the scene did not ($rest_mean)"
else
    hm_expect_eq "box $box_mean, scene $rest_mean" "box > 10, scene < 6" \
        "mean difference from the picture before the pause"
fi

# Pause again and leave through "Exit".
hm_key Escape
ui_wait_menu_open "$UI_OUT/paused_again.png" "$UI_OUT/resumed.png"
hm_click 400 "$UI_EXIT_Y"
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\""
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr"
hm_finish
