#!/usr/bin/env bash
# Sound, recorded by SDL's disk audio driver: silence while nothing happens, sound once a ball is
# thrown. With the key off the audio device is never opened; with no device the game says so in
# one line and plays on.
source "$(dirname "$0")/lib.sh"
SETTINGS=(screenw=640 screenh=480 viewrange=3 seed=12 sound=1)
HALF_SECOND=$((22050 * 4 / 2)) # bytes: 16-bit stereo at 22050 Hz
DISK=(env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=audio.raw SDL_DISKAUDIODELAY=20)
size() { echo $(($(stat -c %s "$HM_DIR/audio.raw" 2>/dev/null || echo 0) / 4 * 4)); }
loudest() { # from byte offset [to the end]: the loudest sample, in 1/32768 of full scale
    tail -c +$(($1 + 1)) "$HM_DIR/audio.raw" | head -c "${2:-1000000000}" |
        sox -t raw -r 22050 -e signed -b 16 -c 2 - -n stats 2>&1 |
        awk '/^Max level|^Min level/ { v = $3 < 0 ? -$3 : $3; if (v > m) m = v } END { printf "%d", m * 32768 }'
}
silent_stretch() { # half a second of recording, all of it zero
    local from=$(size)
    hm_until 30 "the recording stopped growing" eval '(($(size) >= from + HALF_SECOND))'
    [ "$(loudest "$from" $HALF_SECOND)" = 0 ]
}
hm_new_dir "${SETTINGS[@]}"
hm_play "${DISK[@]}"
hm_until 90 "no half second of silence with nothing happening" silent_stretch
for _ in 1 2 3 4 5; do hm_key e; done # to "actiontype_shootball"
from=$(size)
hm_click $((HM_WIDTH / 2)) $((HM_HEIGHT / 2))
hm_until 30 "no sound after the throw" eval '(($(loudest $from) > 1000))'
hm_exit_by_menu "0 2" "with sound (the disk driver prints two lines)"

hm_new_dir "${SETTINGS[@]/sound=1/sound=0}"
hm_play "${DISK[@]}"
hm_exit_by_menu "0 0" "with sound off"
hm_expect_eq "$(ls "$HM_DIR" | grep -c audio.raw)" 0 "recordings with sound off"

hm_new_dir "${SETTINGS[@]}"
hm_play env SDL_AUDIODRIVER=none_such
hm_key e
hm_exit_by_menu "0 1" "without a sound device"
hm_expect_eq "$(grep -c 'no sound device' "$HM_DIR/stderr.txt")" 1 "warnings"
