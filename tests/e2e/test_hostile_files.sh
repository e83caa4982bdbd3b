#!/usr/bin/env bash
# Files a user's machine can hold in place of the game's own: settings.ini,
# Media/worldtexture.png and Media/dashboard.png that are missing, empty,
# garbage, enormous, out of range or of odd kinds. Each start either runs (with one warning line on stderr
# where something was ignored or replaced, none otherwise) and quits with
# status 0 when the window is closed, or ends at once with one clear line
# and its documented status. Never a crash or a hang.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

MAKE_PNG="$HOLLOWMARK_TOOLS/make_test_png"
SMALL="screenw=320 screenh=240" # small windows keep software GL quick

# Starts the game, lets it run a moment, closes it; checks the status, the
# number of stderr lines and, if given, a text the warning must contain.
expect_runs() {
    local what=$1 lines=$2 text=${3:-}
    hm_start
    hm_wait_window
    sleep 0.5 # some frames with the file's consequences
    kill -0 "$HM_PID" 2>/dev/null || hm_fail "$what: the game ended by itself"
    hm_close_window
    hm_wait_exit
    hm_expect_eq "$HM_STATUS" 0 "exit status with $what"
    hm_expect_eq "$(hm_stderr_lines)" "$lines" "stderr lines with $what"
    if [ -n "$text" ]; then
        hm_expect_eq "$(grep -c -- "$text" "$HM_DIR/stderr.txt")" 1 "a line saying '$text' with $what"
    fi
}

expect_refused() {
    local what=$1 status=$2 text=$3
    hm_run_to_exit
    hm_expect_eq "$HM_STATUS" "$status" "exit status with $what"
    hm_expect_eq "$(hm_stderr_lines)" 1 "stderr lines with $what"
    hm_expect_eq "$(grep -c -- "$text" "$HM_DIR/stderr.txt")" 1 "a line saying '$text' with $what"
}

# --- settings.ini -------------------------------------------------------------

hm_new_dir
: >"$HM_DIR/settings.ini"
expect_runs "an empty settings.ini" 0

# Binary garbage: the game's own executable, zero bytes and all.
hm_new_dir
head -c 65536 "$HOLLOWMARK_BIN" >"$HM_DIR/settings.ini"
expect_runs "binary garbage as settings.ini" 0

# One line of 3 MiB: the settings before it still count, reading stops after
# the first MiB with a warning.
hm_new_dir
{ printf 'screenw=320\nscreenh=240\n'; head -c $((3 * 1024 * 1024)) /dev/zero | tr '\0' 'x'; } >"$HM_DIR/settings.ini"
expect_runs "one enormous line" 1 "only the first 1048576 bytes are read"
hm_expect_eq "$HM_WIDTH x $HM_HEIGHT" "320 x 240" "window size before the enormous line"

# Not-a-number and infinite values where numbers are wanted: flags count as
# on (they are not 0), whole numbers are replaced by 0 with a warning each.
hm_new_dir
hm_write_settings $SMALL "screenbpp=nan" "viewrange=nan" "usefog=inf" "uselight=-inf" "usewater=nan" "usetextures=nan"
expect_runs "NaN and infinite values" 2
hm_expect_eq "$(grep -c 'is not a usable whole number' "$HM_DIR/stderr.txt")" 2 "warnings for the two whole numbers"

hm_new_dir
hm_write_settings $SMALL "viewrange=1e9" "usefog=1" "uselight=1" "usetextures=1" "usewater=1"
expect_runs "viewrange=1e9" 1 "viewrange 1000000000 is more than 100; using 100"

# Not a plain file: a folder, and a named pipe that nobody writes to (which
# an ordinary open would wait on for ever).
hm_new_dir
mkdir "$HM_DIR/settings.ini"
expect_runs "a folder as settings.ini" 1 "settings.ini is not a plain file; it is ignored"
hm_new_dir
mkfifo "$HM_DIR/settings.ini"
expect_runs "a named pipe as settings.ini" 1 "settings.ini is not a plain file; it is ignored"

hm_new_dir
hm_write_settings $SMALL "viewrange=-5"
expect_runs "a negative view range" 0

hm_new_dir
hm_write_settings "screenw=1e9" "screenh=240"
expect_refused "screenw=1e9" 3 "a window side must be 1 to 16384 pixels"

hm_new_dir
hm_write_settings "screenw=-320" "screenh=-240"
expect_refused "negative sizes" 3 "a window side must be 1 to 16384 pixels"

hm_new_dir
hm_write_settings "screenw=inf" "screenh=nan"
expect_refused "infinite and NaN sizes" 3 "a window side must be 1 to 16384 pixels"

# --- Media/worldtexture.png -----------------------------------------------------

texture="Media/worldtexture.png"
# The command after the first three arguments makes the file; it runs in the
# game's fresh folder.
world_texture_case() {
    local what=$1 lines=$2 text=${3:-}
    shift 3
    hm_new_dir
    hm_write_settings $SMALL "usetextures=1" "mipmapping=1"
    (cd "$HM_DIR" && "$@") || hm_fail "could not make the file for $what"
    expect_runs "$what as the world texture" "$lines" "$text"
}

world_texture_case "a missing file" 1 "cannot load $texture: No such file" rm -f "$texture"
world_texture_case "an empty file" 1 "cannot load $texture: the file is empty" truncate -s 0 "$texture"
world_texture_case "a truncated PNG" 1 "cannot load $texture: the PNG image is damaged or truncated" \
    "$MAKE_PNG" "$texture" truncated 256 256
world_texture_case "text" 1 "cannot load $texture: not a PNG image" cp "$HOLLOWMARK_SOURCE/settings.ini" "$texture"
world_texture_case "a header claiming 100000 x 100000" 1 "cannot load $texture: the image must be 1 to 4096" \
    "$MAKE_PNG" "$texture" claim 100000 100000
world_texture_case "a 5000 x 4 image" 1 "cannot load $texture: the image must be 1 to 4096" \
    "$MAKE_PNG" "$texture" rgba 5000 4
world_texture_case "a grey image" 0 "" "$MAKE_PNG" "$texture" grey 128 128
world_texture_case "a paletted image" 0 "" "$MAKE_PNG" "$texture" palette 128 128
world_texture_case "a 16-bit image" 0 "" "$MAKE_PNG" "$texture" rgb16 128 128
world_texture_case "a 1 x 1 image" 0 "" "$MAKE_PNG" "$texture" rgb 1 1
world_texture_case "a folder" 1 "cannot load $texture: not a plain file" \
    bash -c 'rm -f "$0" && mkdir "$0"' "$texture"
world_texture_case "a named pipe" 1 "cannot load $texture: not a plain file" \
    bash -c 'rm -f "$0" && mkfifo "$0"' "$texture"

# --- Media/dashboard.png ----------------------------------------------------------
# Without a usable interface atlas the menus would be invisible and the game
# could not be left from inside: the start ends with status 4 and one line.

dashboard="Media/dashboard.png"
dashboard_case() {
    local what=$1 outcome=$2 text=${3:-}
    shift 3
    hm_new_dir
    hm_write_settings $SMALL
    (cd "$HM_DIR" && "$@") || hm_fail "could not make the file for $what"
    if [ "$outcome" = runs ]; then
        expect_runs "$what as the interface atlas" 0
    else
        expect_refused "$what as the interface atlas" 4 "cannot load $dashboard: $text"
    fi
}

dashboard_case "a missing file" 4 "No such file" rm -f "$dashboard"
dashboard_case "an empty file" 4 "the file is empty" truncate -s 0 "$dashboard"
dashboard_case "a truncated PNG" 4 "the PNG image is damaged or truncated" \
    "$MAKE_PNG" "$dashboard" truncated 640 256
dashboard_case "text" 4 "not a PNG image" cp "$HOLLOWMARK_SOURCE/settings.ini" "$dashboard"
dashboard_case "a header claiming 100000 x 100000" 4 "the image must be 1 to 4096" \
    "$MAKE_PNG" "$dashboard" claim 100000 100000
dashboard_case "a named pipe" 4 "not a plain file" bash -c 'rm -f "$0" && mkfifo "$0"' "$dashboard"
dashboard_case "a 1 x 1 image" 4 "the image is 1 x 1 pixels; the interface needs 640 x 256" \
    "$MAKE_PNG" "$dashboard" rgba 1 1
dashboard_case "a grey image" runs "" "$MAKE_PNG" "$dashboard" grey 640 256
dashboard_case "a paletted image" runs "" "$MAKE_PNG" "$dashboard" palette 640 256
dashboard_case "a 16-bit image" runs "" "$MAKE_PNG" "$dashboard" rgb16 640 256
dashboard_case "a larger image" runs "" "$MAKE_PNG" "$dashboard" rgba 2000 300

hm_finish
