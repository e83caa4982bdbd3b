#!/usr/bin/env bash
# Random play from a fixed sequence on a fixed cave (action modes, enemies, balls, the other view,
# walking, pauses with screenshots): the game stays up, leaves through "Exit" with 0 and prints
# nothing. SOAK_SECONDS of play (default 5); with SOAK_MEMORY=1 (scripts/soak.sh) its memory
# must stop growing once the tables are full.
source "$(dirname "$0")/lib.sh"
W=400 H=300 RANDOM=20261207
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$HM_PID/status"; }
play() { xdotool "$@" || hm_fail "the game ended during the soak"; } # quick input: a lost press does no harm
clicks() { # count [highest y]
    for ((k = 0; k < $1; k++)); do play mousemove --window "$HM_WIN" $((RANDOM % W)) $((RANDOM % ${2:-H})) mousedown 1 sleep 0.12 mouseup 1; done
}
hm_new_dir screenw=$W screenh=$H viewrange=4 usefog=1 uselight=1 usetextures=1 usewater=1 optimizegeometry=1 seed=12
hm_play
hm_key q; hm_key q; clicks "${SOAK_ENEMY_CLICKS:-3}" # mode 7 makes enemies
hm_key q; hm_key q; clicks "${SOAK_BALL_CLICKS:-6}"  # mode 5 throws balls
rss_full=$(rss) start=$SECONDS pauses=0
while ((SECONDS - start < ${SOAK_SECONDS:-5})); do
    echo "$((SECONDS - start)) $(rss)" >>"$HM_DIR/rss.txt"
    case $((RANDOM % 6)) in
    0) play keydown "$(echo w a s d | cut -d' ' -f$((RANDOM % 4 + 1)))" sleep 0.1 keydown space sleep 0.3 keyup w a s d space ;;
    1) play keydown e sleep 0.12 keyup e ;; # the next mode
    2) clicks 3 ;;
    3) clicks 3 $((H / 4)) ;; # under the ceiling
    4) hm_click $((RANDOM % W)) $((RANDOM % H)) 3 ;; # the other view
    5) hm_open_menu && hm_menu_click 2 && { ((RANDOM % 2)) || hm_menu_click 3; } && hm_menu_click 0 && ((++pauses)) ;;
    esac
done
hm_exit_by_menu "0 0" "after $pauses pauses"
if [ "${SOAK_MEMORY:-0}" = 1 ]; then # may wander, not climb: the last third peaks no higher than the middle
    read -r mid last < <(awk -v n="$SOAK_SECONDS" '$1 >= n / 3 && $1 < 2 * n / 3 && $2 > m { m = $2 }
        $1 >= 2 * n / 3 && $2 > l { l = $2 } END { print m + 0, l + 0 }' "$HM_DIR/rss.txt")
    hm_expect_eq "$((last <= mid + 8192 && last - rss_full <= rss_full / 5 + 16384))" 1 "memory $rss_full, $mid, $last KiB"
fi
