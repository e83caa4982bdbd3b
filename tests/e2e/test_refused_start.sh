#!/usr/bin/env bash
# Start-up failures end the game with their own status and one line on
# stderr: no window is asked for with a negative side, one above 16384 pixels
# or one that is not a number, and a missing video driver is reported.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

expect_refused() {
    local what=$1; shift
    hm_new_dir
    hm_write_settings "$@"
    hm_run_to_exit
    hm_expect_eq "$HM_STATUS" 3 "exit status with $what"
    hm_expect_eq "$(hm_stderr_lines)" 1 "stderr lines with $what"
    hm_expect_eq "$(grep -c 'video mode' "$HM_DIR/stderr.txt")" 1 "a line naming the video mode with $what"
}

expect_refused "screenw=40000, screenh=40000" "screenw=40000" "screenh=40000"
expect_refused "screenw=40000 only (desktop probe)" "screenw=40000"
expect_refused "screenh=16385" "screenw=640" "screenh=16385"
expect_refused "a negative width" "screenw=-800" "screenh=600"
expect_refused "a width that is not a number" "screenw=nan" "screenh=600"
expect_refused "an infinite height" "screenw=640" "screenh=1e999"

# SDL itself refuses a depth outside 8..32 bits; when that happens already in
# the desktop-size probe (both sizes missing) the start ends the same way.
expect_refused "screenbpp=33" "screenw=320" "screenh=200" "screenbpp=33"
expect_refused "screenbpp=7 and no sizes (the probe fails)" "screenbpp=7"

# SDL reads its own driver choice from the environment; a driver that does
# not exist is the one dependable way to make SDL_Init fail here.
hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
SDL_VIDEODRIVER=no-such-driver hm_run_to_exit
hm_expect_eq "$HM_STATUS" 1 "exit status when SDL cannot start"
hm_expect_eq "$(hm_stderr_lines)" 1 "stderr lines when SDL cannot start"
hm_expect_eq "$(grep -c 'cannot start SDL' "$HM_DIR/stderr.txt")" 1 "a line saying SDL cannot start"

# The dummy driver has no OpenGL: SDL refuses the mode itself.
hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
SDL_VIDEODRIVER=dummy hm_run_to_exit
hm_expect_eq "$HM_STATUS" 3 "exit status when SDL refuses the GL mode"
hm_expect_eq "$(hm_stderr_lines)" 1 "stderr lines when SDL refuses the GL mode"

hm_finish
