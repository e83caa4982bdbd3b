#!/usr/bin/env bash
# mouselook: the pointer held while playing, a motion turns the view, which then holds still; Escape
# frees it for the menu; resuming holds it again, no jump; another window taking the focus pauses.
source "$(dirname "$0")/lib.sh" && W=640 H=480
look() { "$HM_TOOL" look "$HM_WIN" "$HM_DIR/$1.png" || hm_fail "cannot look at the window"; }
differing() { hm_png diff "$HM_DIR/$1.png" "$HM_DIR/$2.png" "${@:3}"; }
still() { look a && sleep 1 && look b && [ "$(differing a b)" = 0 ]; }
# A body at rest may settle by a hair as a pause changes the frame rate; a turn changes far more.
view_kept() { look now && [ "$(differing now b)" -lt $((W * H / 20)) ]; }
now_not_as() { look now && [ "$(differing now "$@")" != 0 ]; }
pointer() { # sent to the screen's corner, out of the window: "free" if it got there, "held" if kept in
    xdotool mousemove 1000 740 && eval "$(xdotool getmouselocation --shell)"
    ((X == 1000 && Y == 740)) && echo free || { ((X < W && Y < H)) && echo held; }; }
hm_new_dir screenw=$W screenh=$H viewrange=3 usefog=1 uselight=1 usetextures=1 seed=12 mouselook=1 pauseonfocusloss=1
hm_play && hm_until 30 "the view never held still" still
xdotool mousemove --window "$HM_WIN" $((W / 2 + 40)) $((H / 2)) # 40 pixels to the right
hm_until 10 "a mouse motion did not turn the view" now_not_as b && look a && sleep 1 && look b
hm_expect_eq "$(differing a b)" 0 "pixels changed in the second after the turn"
xdotool keydown Escape && hm_until 10 "Escape did not pause" now_not_as b 0 0 $W 60 && xdotool keyup Escape
hm_mid 0 60 $((W / 2 - 30)) $((H - 120)) && hm_expect_eq "$(pointer)" free "pointer over the menu"
hm_menu_click 0 && hm_until 10 "the view is not as it was before the pause" view_kept
hm_expect_eq "$(pointer)" held "pointer while playing again"
xmessage -geometry +700+600 -timeout 120 "another window" & XM_PID=$!
hm_until 10 "no other window" eval 'XM=$(xdotool search --onlyvisible --name "^xmessage$" | head -n 1); [ -n "$XM" ]'
look b && xdotool windowfocus "$XM" && hm_until 10 "losing the focus did not pause" now_not_as b 0 0 $W 60 &&
    hm_expect_eq "$(pointer)" free "pointer once another window has the focus"
kill "$XM_PID" && xdotool windowfocus "$HM_WIN" && hm_menu_click 1 && hm_ends "0 0" "after Exit"
