#!/usr/bin/env bash
# Start, size and close: the window takes its size from settings.ini and the
# desktop's for a side not given (taller than wide as well as wider), a
# normal start and quit print nothing, and a close request ends the game
# with status 0 however it arrives.
source "$(dirname "$0")/lib.sh"

expect_quiet_exit() { # what
    hm_wait_exit
    hm_expect_eq "$HM_STATUS" 0 "exit status after $1"
    hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr after $1"
}

# The shipped settings, closed while running.
hm_new_dir
cp "$HOLLOWMARK_SOURCE/settings.ini" "$HM_DIR/" || hm_fail "no shipped settings.ini"
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 1280x720 "window size with the shipped settings"
hm_close_window
expect_quiet_exit "closing the game with the shipped settings"

# No settings.ini: the desktop's size; closed while paused.
hm_new_dir
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 1024x768 "window size without settings.ini"
hm_open_menu "$HM_DIR/paused.png"
hm_close_window
expect_quiet_exit "closing the paused game"

# Only the width, with spaces and a CR LF line end: the desktop gives the
# height. Closed amid pointer motion with a button held.
hm_new_dir
printf 'screen w = 700\r\n' >"$HM_DIR/settings.ini"
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 700x768 "window size with only screenw=700"
hm_pointer 100 100
xdotool mousedown 3
hm_pointer 300 200
hm_close_window
xdotool mouseup 3
expect_quiet_exit "closing the game amid other input"

# Taller than wide: the menu stands where the height puts it, and its
# "Exit" ends the game.
hm_new_dir
hm_write_settings screenw=300 screenh=700 viewrange=3 usetextures=1 uselight=1 usefog=1
hm_start
hm_wait_window
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 300x700 "window size with screenw=300, screenh=700"
hm_open_menu "$HM_DIR/paused.png"
hm_menu_click 1
expect_quiet_exit "\"Exit\" in a tall window"
hm_finish
