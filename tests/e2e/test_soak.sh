#!/usr/bin/env bash
# The real game played for a while with random input, as a restless person
# would: every action mode, dozens of enemies, hundreds of balls, blocks
# placed under the ceiling so they fall, the view switched, pauses with
# screenshots and the frame-rate switch. It must end through "Exit" with
# status 0 and nothing on stderr (so no sanitizer report on a sanitizer
# build), and its resident memory must stop growing once the tables are full.
#
# SOAK_SECONDS sets the length of the random play (default 45: the version
# run with the tests); scripts/soak.sh runs a long one on a sanitizer build.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

SOAK_SECONDS=${SOAK_SECONDS:-45}
SOAK_ENEMY_CLICKS=${SOAK_ENEMY_CLICKS:-30}
SOAK_BALL_CLICKS=${SOAK_BALL_CLICKS:-220}
WIDTH=400 HEIGHT=300
CX=$((WIDTH / 2))
MENU_TOP=$((HEIGHT / 2 - 125)) # where the open pause menu's first button stands
RESUME_Y=$MENU_TOP EXIT_Y=$((MENU_TOP + 50)) SCREENSHOT_Y=$((MENU_TOP + 100)) RATE_Y=$((MENU_TOP + 150))
RANDOM=20261207 # the same random play every run
OUT=$(hm_output_dir)

mode=0 # the action type, followed from the Q and E presses
clicks_in_mode=(0 0 0 0 0 0 0 0 0)
pauses=0

rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$HM_PID/status" 2>/dev/null || echo 0; }
alive() { kill -0 "$HM_PID" 2>/dev/null || hm_fail "the game ended during the soak (see stderr above)"; }

# A press long enough to be seen whatever the frame time of software GL.
press_key() { hm_key "$1" 0.15; sleep 0.05; }
click() { # x y [button]
    hm_pointer "$1" "$2"
    xdotool mousedown "${3:-1}" && sleep 0.12 && xdotool mouseup "${3:-1}" || hm_fail "could not click"
    sleep 0.04
}
hold_left() { # seconds
    xdotool mousedown 1 && sleep "$1" && xdotool mouseup 1 || hm_fail "could not hold the button"
    sleep 0.04
}
to_mode() { # the shorter way round with Q or E
    local want=$1 up=$(((want - mode + 9) % 9))
    if [ "$up" -le 4 ]; then
        for ((k = 0; k < up; k++)); do press_key e; done
    else
        for ((k = 0; k < 9 - up; k++)); do press_key q; done
    fi
    mode=$want
}
random_point() { # somewhere in the window, or in its lower part (toward the floor)
    local low=${1:-0}
    echo "$((RANDOM % WIDTH)) $((low + RANDOM % (HEIGHT - low)))"
}

pause_and_play_with_the_menu() {
    press_key Escape
    sleep 1.2 # the menu slides in over 20 frames, slower ones on a loaded machine
    # The first pause always saves one, so the run checks the file it writes.
    if ((pauses == 0 || RANDOM % 2 == 0)); then click "$CX" "$SCREENSHOT_Y"; fi
    if ((RANDOM % 3 == 0)); then click "$CX" "$RATE_Y"; fi
    if ((RANDOM % 2 == 0)); then click "$CX" "$RESUME_Y"; else press_key Escape; fi
    sleep 0.6
    pauses=$((pauses + 1))
}

hm_new_dir
hm_write_settings "screenw=$WIDTH" "screenh=$HEIGHT" "viewrange=4" "usefog=1" "uselight=1" \
    "usetextures=1" "usewater=1" "optimizegeometry=1" "mipmapping=1"
hm_start
hm_wait_window
hm_pointer "$CX" $((HEIGHT / 2))
sleep 1

# Fill the tables: enemies in front of the floor, then balls thrown all over.
to_mode 7
for ((i = 0; i < SOAK_ENEMY_CLICKS; i++)); do click $(random_point $((HEIGHT / 2))); done
clicks_in_mode[7]=$SOAK_ENEMY_CLICKS
to_mode 5
for ((i = 0; i < SOAK_BALL_CLICKS; i++)); do
    click $(random_point $((HEIGHT / 3)))
    if ((i % 50 == 49)); then alive; fi
done
clicks_in_mode[5]=$SOAK_BALL_CLICKS
alive
rss_full=$(rss_kib)
hm_note "tables filled: resident memory ${rss_full} KiB"

# Every action mode once, held and clicked, looking at the floor ahead.
for ((m = 0; m < 9; m++)); do
    to_mode $m
    hm_pointer "$CX" $((HEIGHT * 3 / 4))
    hold_left 0.4
    click "$CX" $((HEIGHT * 3 / 4))
    clicks_in_mode[m]=$((clicks_in_mode[m] + 2))
done
to_mode 0

# Random play.
rss_log="$OUT/rss.txt"
: >"$rss_log"
start=$SECONDS
next_pause=$((SECONDS + 8))
while [ $((SECONDS - start)) -lt "$SOAK_SECONDS" ]; do
    alive
    echo "$((SECONDS - start)) $(rss_kib)" >>"$rss_log"
    case $((RANDOM % 10)) in
    0 | 1) # walk, sometimes jumping
        key=$(echo w a s d w | cut -d' ' -f$((RANDOM % 5 + 1)))
        xdotool windowfocus "$HM_WIN" 2>/dev/null
        xdotool keydown "$key"
        if ((RANDOM % 3 == 0)); then press_key space; fi
        sleep "0.$((RANDOM % 6 + 2))"
        xdotool keyup "$key"
        ;;
    2) # another action mode
        to_mode $((RANDOM % 9)) ;;
    3 | 4) # use it: held modes act while held, the others once per click
        hm_pointer $(random_point $((HEIGHT / 3)))
        if ((RANDOM % 2 == 0)); then hold_left "0.$((RANDOM % 8 + 2))"; else click $(random_point $((HEIGHT / 3))); fi
        clicks_in_mode[mode]=$((clicks_in_mode[mode] + 1))
        ;;
    5) # blocks under the ceiling, which fall when placed
        to_mode 2
        for ((k = 0; k < 4; k++)); do click $(random_point 0 | awk -v h=$((HEIGHT / 4)) '{print $1, $2 % h}'); done
        clicks_in_mode[2]=$((clicks_in_mode[2] + 4))
        ;;
    6) # the other view
        click $(random_point) 3 ;;
    7 | 8) # look around
        hm_pointer $(random_point)
        sleep 0.3
        ;;
    9) # more balls and enemies, to keep the tables full
        to_mode $((RANDOM % 2 == 0 ? 5 : 7))
        for ((k = 0; k < 5; k++)); do click $(random_point $((HEIGHT / 3))); done
        clicks_in_mode[mode]=$((clicks_in_mode[mode] + 5))
        ;;
    esac
    if [ "$SECONDS" -ge "$next_pause" ]; then
        pause_and_play_with_the_menu
        next_pause=$((SECONDS + 8 + RANDOM % 8))
    fi
done
alive
rss_end=$(rss_kib)
hm_note "after ${SOAK_SECONDS}s of play: resident memory ${rss_end} KiB, ${pauses} pauses, uses per mode: ${clicks_in_mode[*]}"

# Leave through the menu.
hm_pointer "$CX" $((HEIGHT / 2))
press_key Escape
sleep 1
click "$CX" "$EXIT_Y"
hm_wait_exit 60
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\""
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr (warnings or sanitizer reports)"
if [ -s "$HM_DIR/stderr.txt" ]; then head -n 40 "$HM_DIR/stderr.txt" >&2; fi
shots=$(ls "$HM_DIR" | grep -c '^screenshot[0-9]*\.png$')
if [ "$shots" -ge 1 ]; then hm_note "ok: $shots screenshots written"; else hm_expect_eq "$shots" ">= 1" "screenshots written"; fi
cp "$HM_DIR"/screenshot1.png "$OUT/" 2>/dev/null
for ((m = 0; m < 9; m++)); do
    [ "${clicks_in_mode[m]}" -gt 0 ] || hm_expect_eq 0 ">0" "uses of action mode $m"
done

# Memory: once the tables are full the game allocates only when a mesh's
# size changes; over the play the resident size may wander, not climb.
growth=$((rss_end - rss_full))
limit=$((rss_full / 5 + 16384)) # a fifth, plus 16 MiB for the drivers' caches
if [ "$growth" -le "$limit" ]; then
    hm_note "ok: resident memory grew by ${growth} KiB during the play (limit ${limit} KiB)"
else
    hm_expect_eq "${growth} KiB" "<= ${limit} KiB" "growth of resident memory during the play"
fi
# And it levels off: the last third of the play peaks no higher than the
# middle third did, give or take 8 MiB.
read -r mid_peak last_peak < <(awk -v n="$SOAK_SECONDS" '
    $1 >= n / 3 && $1 < 2 * n / 3 && $2 > mid { mid = $2 }
    $1 >= 2 * n / 3 && $2 > last { last = $2 }
    END { print mid + 0, last + 0 }' "$rss_log")
if [ "$last_peak" -le $((mid_peak + 8192)) ]; then
    hm_note "ok: resident memory peaked at ${mid_peak} KiB in the middle third, ${last_peak} KiB in the last"
else
    hm_expect_eq "${last_peak} KiB" "<= $((mid_peak + 8192)) KiB" "peak resident memory in the last third"
fi
hm_finish
