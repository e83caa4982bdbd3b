#!/usr/bin/env bash
# A window-close request (what a window manager's close button sends) ends
# the game with status 0: while running, while paused, and amid other input.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

# Running, with nothing else going on.
hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
hm_start
hm_wait_window
hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after closing a running game"
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr after a normal quit"

# Paused with Escape first (the game stops updating but keeps its loop).
hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
hm_start
hm_wait_window
hm_key Escape
sleep 0.3
hm_close_window
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after closing a paused game"

# The close request arrives among pointer motion and a click: every queued
# event is looked at, so the quit is not lost behind them.
hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
hm_start
hm_wait_window
hm_pointer 100 100
xdotool mousedown 3
hm_pointer 300 200
hm_close_window
xdotool mouseup 3
hm_wait_exit
hm_expect_eq "$HM_STATUS" 0 "exit status after closing amid other input"

hm_finish
