# ui_helpers.sh: helpers for the end-to-end tests of the pause menu, sourced
# after lib.sh. Pictures go to $UI_OUT.

UI_SETTINGS=("screenw=800" "screenh=600" "viewrange=3" "usefog=1" "uselight=1" "usetextures=1"
    "usewater=0" "optimizegeometry=1" "mipmapping=1")

# Where the four buttons stand, centred on x 400, once the menu is open in an
# 800 x 600 window.
UI_RESUME_Y=175
UI_EXIT_Y=225
UI_SCREENSHOT_Y=275
UI_FRAME_RATE_Y=325
# The menu's column with its frames, and strips of the window no overlay
# touches while paused (left and right of the menu, between the banners).
UI_MENU_RECT="230 150 340 200"
UI_LEFT_STRIP="0 70 225 460"
UI_RIGHT_STRIP="575 70 225 460"
UI_UPPER_BANNER="0 0 800 60"
UI_LOWER_BANNER="0 540 800 60"
UI_FRAME_RATE_BOX="5 4 340 50"

# "DIFFERING MEAN" of two pictures over a rectangle.
ui_diff() {
    "$HOLLOWMARK_TOOLS/png_examine" diff "$1" "$2" $3 || hm_fail "cannot compare $1 and $2"
}
ui_differing() { ui_diff "$@" | cut -d' ' -f1; }
ui_mean() { ui_diff "$@" | cut -d' ' -f2; }
# True when the first decimal number is below the second.
ui_below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Waits until the scene has come to rest (the player landed, the blocks
# settled): two captures a moment apart differ by less than a grey level on
# average. Carries on after 20 s regardless; the checks that follow compare
# against a picture taken here and say so when the scene kept moving.
ui_wait_still() {
    local shot=$1 previous="$UI_OUT/previous.png"
    local deadline=$((SECONDS + 20))
    hm_capture "$previous"
    while [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.3
        hm_capture "$shot"
        if ui_below "$(ui_mean "$shot" "$previous" "0 0 800 600")" 1; then
            return 0
        fi
        cp "$shot" "$previous"
    done
    hm_note "the scene was still moving after 20 s"
}

# Waits until the menu has stopped sliding: two captures a moment apart show
# the same menu column, and it differs from the picture taken before the
# pause. Leaves the last capture in $1.
ui_wait_menu_open() {
    local shot=$1 before=$2 previous="$UI_OUT/previous.png"
    local deadline=$((SECONDS + 20))
    hm_capture "$previous"
    while [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.2
        hm_capture "$shot"
        if [ "$(ui_differing "$shot" "$previous" "$UI_MENU_RECT")" = 0 ] &&
            [ "$(ui_differing "$shot" "$before" "$UI_MENU_RECT")" != 0 ]; then
            return 0
        fi
        cp "$shot" "$previous"
    done
    hm_fail "the pause menu did not open within 20 s"
}

# Waits until the banners are gone again: the lower banner's place looks like
# the scene before the pause rather than like the paused picture.
ui_wait_resumed() {
    local shot=$1 before=$2 paused=$3
    local deadline=$((SECONDS + 20))
    while [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.2
        hm_capture "$shot"
        if ui_below "$(ui_mean "$shot" "$before" "$UI_LOWER_BANNER")" \
            "$(ui_mean "$shot" "$paused" "$UI_LOWER_BANNER")"; then
            return 0
        fi
    done
    hm_fail "the game did not resume within 20 s"
}

# Waits for a file to appear in the game's folder.
ui_wait_file() {
    local file=$1 deadline=$((SECONDS + 10))
    while [ ! -e "$HM_DIR/$file" ] && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.1
    done
    [ -e "$HM_DIR/$file" ]
}

# Screenshot files and temporary files left in the game's folder.
ui_saved_files() {
    (cd "$HM_DIR" && ls -A | grep -E '^(screenshot|\.screenshot)' | sort | tr '\n' ' ')
}
