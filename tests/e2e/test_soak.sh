#!/usr/bin/env bash
# The real game played with random input, as a restless person would: every
# action mode, enemies and balls, blocks placed under the ceiling so they
# fall, the view switched, walking and jumping, pauses with screenshots and
# the frame-rate switch. It must stay up, end through "Exit" with status 0
# and print nothing (so no sanitizer report on a sanitizer build).
# SOAK_SECONDS of random play (default 8, run with the tests); with
# SOAK_MEMORY=1 (scripts/soak.sh, a long run) the resident memory must also
# stop growing once the tables are full.
source "$(dirname "$0")/lib.sh"
SOAK_SECONDS=${SOAK_SECONDS:-8}
W=400 H=300
RANDOM=20261207 # the same input every run
out=$(hm_output_dir)
pauses=0

rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$HM_PID/status" 2>/dev/null || echo 0; }
alive() { kill -0 "$HM_PID" 2>/dev/null || hm_fail "the game ended during the soak"; }
# Quick input for the random play, where a press now and then may be lost.
quick() { xdotool "$@" || hm_fail "xdotool $* failed"; }
point() { echo "$((RANDOM % W)) $((${1:-0} + RANDOM % (H - ${1:-0})))"; } # [lowest y]
clicks() { # count [lowest y [highest y]]: in one xdotool run, which is quicker than many
    local args=() k
    for ((k = 0; k < $1; k++)); do
        args+=(mousemove --window "$HM_WIN" $((RANDOM % W)) $((${2:-H / 3} + RANDOM % (${3:-H} - ${2:-H / 3})))
            mousedown 1 sleep 0.12 mouseup 1 sleep 0.05)
    done
    quick "${args[@]}"
}

pause_and_use_the_menu() {
    hm_open_menu "$out/paused.png"
    # The first pause always saves one, so the run checks the file it writes.
    if ((pauses == 0 || RANDOM % 2 == 0)); then hm_menu_click 2; fi
    if ((RANDOM % 3 == 0)); then hm_menu_click 3; fi
    if ((RANDOM % 2 == 0)); then hm_menu_click 0; else hm_key Escape; fi
    [ "$(hm_png diff "$HM_FRAME" "$out/paused.png" $(hm_lower_banner))" != 0 ] || hm_fail "the game stayed paused"
    pauses=$((pauses + 1))
}

hm_new_dir
hm_write_settings screenw=$W screenh=$H viewrange=4 usefog=1 uselight=1 usetextures=1 usewater=1 \
    optimizegeometry=1 mipmapping=1
hm_start
hm_wait_window

# Fill the tables (mode 7 makes enemies, 5 throws balls), then every action
# mode once, held and clicked, looking at the floor ahead.
hm_key q && hm_key q
clicks "${SOAK_ENEMY_CLICKS:-5}"
hm_key q && hm_key q
clicks "${SOAK_BALL_CLICKS:-15}"
rss_full=$(rss_kib)
for ((m = 0; m < 9; m++)); do
    hm_key e
    quick mousemove --window "$HM_WIN" $((W / 2)) $((H * 3 / 4)) mousedown 1 sleep 0.3 mouseup 1 sleep 0.05 \
        mousedown 1 sleep 0.12 mouseup 1
done
alive

: >"$out/rss.txt"
start=$SECONDS next_pause=$((SECONDS + 2))
while [ $((SECONDS - start)) -lt "$SOAK_SECONDS" ]; do
    alive
    echo "$((SECONDS - start)) $(rss_kib)" >>"$out/rss.txt"
    case $((RANDOM % 8)) in
    0 | 1) # walk and jump
        key=$(echo w a s d w | cut -d' ' -f$((RANDOM % 5 + 1)))
        quick keydown "$key" sleep 0.1 keydown space sleep 0.1 keyup space sleep "0.$((RANDOM % 6))" keyup "$key"
        ;;
    2) quick keydown "$(echo q e | cut -d' ' -f$((RANDOM % 2 + 1)))" sleep 0.15 keyup q keyup e ;; # another mode
    3) quick mousemove --window "$HM_WIN" $(point $((H / 3))) mousedown 1 sleep "0.$((RANDOM % 8 + 2))" mouseup 1 ;;
    4) clicks 3 ;;
    5) clicks 3 0 $((H / 4)) ;; # under the ceiling
    6) hm_click $(point) 3 ;; # the other view
    7) quick mousemove --window "$HM_WIN" $(point) sleep 0.3 ;; # look around
    esac
    if [ "$SECONDS" -ge "$next_pause" ]; then
        pause_and_use_the_menu
        next_pause=$((SECONDS + 5 + RANDOM % 8))
    fi
done
alive
rss_end=$(rss_kib)
hm_note "after ${SOAK_SECONDS} s of play: resident memory $rss_full -> $rss_end KiB, $pauses pauses"

hm_open_menu "$out/leaving.png"
hm_menu_click 1
hm_wait_exit 60
hm_expect_eq "$HM_STATUS" 0 "exit status after \"Exit\""
hm_expect_eq "$(hm_stderr_lines)" 0 "lines on stderr (warnings or sanitizer reports)"
hm_expect_eq "$(hm_png info "$HM_DIR/screenshot1.png")" "$W $H 2 8 Created with LodePNG" \
    "the screenshot saved at the first pause"

if [ "${SOAK_MEMORY:-0}" = 1 ]; then
    # Once the tables are full the game allocates only when a mesh's size
    # changes: the resident size may wander, not climb. Growth at most a
    # fifth plus 16 MiB for the drivers' caches, and the last third of the
    # play peaks no higher than the middle third, give or take 8 MiB.
    hm_expect_eq "$((rss_end - rss_full <= rss_full / 5 + 16384))" 1 "resident memory stays within its bound"
    read -r mid last < <(awk -v n="$SOAK_SECONDS" '$1 >= n / 3 && $1 < 2 * n / 3 && $2 > m { m = $2 }
        $1 >= 2 * n / 3 && $2 > l { l = $2 } END { print m + 0, l + 0 }' "$out/rss.txt")
    hm_expect_eq "$((last <= mid + 8192))" 1 "peak memory of the last third ($last KiB) within the middle's ($mid KiB)"
fi
hm_finish
