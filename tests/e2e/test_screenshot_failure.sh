#!/usr/bin/env bash
# A screenshot that cannot be written leaves no file behind, says so in one
# line on stderr, and the game goes on: the menu still works and "Exit" ends
# it normally. The write is made to fail for real by a file-size limit far
# below the size of a screenshot (the limit's signal is ignored, so write()
# returns an error instead of ending the process).
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"
source "$(dirname "$0")/ui_helpers.sh"
UI_OUT=$(hm_output_dir)

# In 1024-byte blocks. Deflate packs at most about 1032 bytes into one, so
# even a window of a single colour (1.44 MB of 800 x 600 RGB) needs more.
size_limit_blocks=1

hm_new_dir
hm_write_settings "${UI_SETTINGS[@]}"
(cd "$HM_DIR" && trap '' XFSZ && ulimit -f "$size_limit_blocks" &&
    exec "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt) &
HM_PID=$!
hm_wait_window
hm_pointer 400 300
ui_wait_still "$UI_OUT/before_pause.png"
hm_key Escape
ui_wait_menu_open "$UI_OUT/paused.png" "$UI_OUT/before_pause.png"

hm_click 400 "$UI_SCREENSHOT_Y"
deadline=$((SECONDS + 10))
while [ "$(hm_stderr_lines)" = 0 ] && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
done
hm_expect_eq "$(hm_stderr_lines)" 1 "lines on stderr after the failed save"
hm_note "the game said: $(cat "$HM_DIR/stderr.txt")"
hm_expect_eq "$(grep -c 'screenshot not saved' "$HM_DIR/stderr.txt")" 1 "lines saying the screenshot was not saved"
hm_expect_eq "$(ui_saved_files)" "" "screenshot or temporary files in the folder"
kill -0 "$HM_PID" 2>/dev/null
hm_expect_eq "$?" 0 "the game is still running (0 = yes)"

# Still responsive: resume, pause again, and leave through "Exit".
hm_click 400 "$UI_RESUME_Y"
hm_pointer 400 300
ui_wait_resumed "$UI_OUT/resumed.png" "$UI_OUT/before_pause.png" "$UI_OUT/paused.png"
hm_key Escape
ui_wait_menu_open "$UI_OUT/paused_again.png" "$UI_OUT/resumed.png"
hm_click 400 "$UI_EXIT_Y"
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\""
hm_expect_eq "$(ui_saved_files)" "" "screenshot or temporary files in the folder at the end"
hm_finish
