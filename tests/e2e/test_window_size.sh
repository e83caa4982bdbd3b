#!/usr/bin/env bash
# The window takes its size from settings.ini, and the desktop's size for any
# side that is missing; closing it ends the game normally.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

hm_new_dir
hm_write_settings "screenw=800" "screenh=600"
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" "800x600" "window size with screenw=800, screenh=600"
# The frame the window shows covers all of it.
frame="$(hm_output_dir)/window_800x600.png"
hm_capture "$frame"
hm_expect_eq "$("$HOLLOWMARK_TOOLS/png_probe" "$frame" | head -n 1)" "800 600" "size of the captured frame"
hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after the window-close request"

# No settings.ini at all: windowed at the desktop's size.
hm_new_dir
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" "1024x768" "window size with no settings.ini"
hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after the window-close request"

# Only the width given: the desktop supplies the height. Spaces and a CR LF
# line end do not matter.
hm_new_dir
printf 'screen w = 700\r\n' >"$HM_DIR/settings.ini"
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" "700x768" "window size with only screenw=700"
hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after the window-close request"

hm_finish
