#!/usr/bin/env bash
# The window's size comes from settings.ini, a side not given (or below 1) from the desktop, and the
# scene fills it; taller than wide too; a normal start prints nothing; closing while running or
# paused, amid input, or "Exit" ends it with status 0.
source "$(dirname "$0")/lib.sh"
run() { # settings size ending...
    hm_new_dir "$1"
    hm_play
    hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" "$2" "window size before ${*:3}"
    "${@:3}"
    hm_ends "0 0" "after ${*:3}"
}
paused() { hm_open_menu && "$@"; }
scene_fills() { # F12's scene reaches both sides of the desktop-wide window, the label its right end
    # (the lower third of each side: with the view range at 20 chunks the ground lies there whether
    # the player is still falling from the start or has landed, whichever way the view has turned)
    hm_key F12 && for rect in "0 200 64 100" "960 200 64 100" "737 5 275 50"; do
        hm_expect_more "$(hm_png lit "$HM_DIR/screenshot1.png" $rect)" 320 "pixels drawn in $rect"
    done && "$@"
}
amid_input() { xdotool mousemove --window "$HM_WIN" 100 100 mousedown 3 mousemove --window "$HM_WIN" 300 200; hm_close_window; xdotool mouseup 3; }
run "$(cat "$HOLLOWMARK_SOURCE/settings.ini")" 1280x720 hm_close_window
run - 1024x768 paused hm_close_window
run 'screen w = 700\r' 700x768 amid_input
run 'screenw=nan' 1024x768 hm_close_window # not a number: 0, the desktop's
run 'screenw=0.5\nscreenh=300\nseed=12\nviewrange=20\nusetextures=1\nusewater=1\nscreenshotkey=1' 1024x300 scene_fills hm_close_window
run 'screenw=300\nscreenh=700\nviewrange=3\nusetextures=1' 300x700 paused hm_menu_click 1
