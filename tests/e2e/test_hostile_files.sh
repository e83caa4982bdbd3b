#!/usr/bin/env bash
# Hostile files in place of the game's own (settings.ini, Media/worldtexture.png,
# Media/dashboard.png: missing, damaged, garbage, enormous, out of range, not
# plain files) and starts the platform refuses. Each start either runs, with
# one line on stderr for each thing ignored or replaced and none otherwise,
# and ends with status 0 when closed; or it ends at once with one line and
# its documented status: 1 no SDL, 3 no video mode, 4 no usable interface
# atlas. Never a crash, never a hang.
source "$(dirname "$0")/lib.sh"
SMALL="screenw=320 screenh=240" # small windows keep software GL quick

expect_runs() { # what lines [text]
    hm_start
    hm_wait_window
    hm_close_window
    hm_wait_exit
    hm_expect_eq "$HM_STATUS $(hm_stderr_lines)" "0 $2" "exit status and stderr lines with $1"
    [ -z "${3:-}" ] || hm_expect_eq "$(grep -c -- "$3" "$HM_DIR/stderr.txt")" 1 "lines saying '$3' with $1"
}
expect_refused() { # what status text [wrapper...]
    local what=$1 status=$2 text=$3
    shift 3
    hm_run_to_exit "$@"
    hm_expect_eq "$HM_STATUS $(hm_stderr_lines)" "$status 1" "exit status and stderr lines with $what"
    hm_expect_eq "$(grep -c -- "$text" "$HM_DIR/stderr.txt")" 1 "lines saying '$text' with $what"
}
in_dir() { (cd "$HM_DIR" && "$@") || hm_fail "cannot make the file: $*"; }

# --- files the game reads as far as it can: one start for several -----------
texture=Media/worldtexture.png
dashboard=Media/dashboard.png
images=$HOLLOWMARK_SOURCE/tests/fuzz_regressions/images # small odd images kept for the fuzzers
hm_new_dir
: >"$HM_DIR/settings.ini"
expect_runs "an empty settings.ini" 0
hm_new_dir # garbage lines, zero bytes and all, are ignored
{ printf 'screenw=320\nscreenh=240\nusetextures=1\n'; head -c 65536 "$HOLLOWMARK_BIN"; } >"$HM_DIR/settings.ini"
in_dir cp "$HOLLOWMARK_SOURCE/fuzz/seeds/images/palette2.png" "$texture"
expect_runs "binary garbage in settings.ini and a paletted world texture" 0
hm_new_dir # the settings before a 3 MiB line count; reading stops after 1 MiB
{ printf 'screenw=320\nscreenh=240\nusetextures=1\n'; head -c $((3 << 20)) /dev/zero | tr '\0' x; } >"$HM_DIR/settings.ini"
in_dir rm "$texture"
expect_runs "one enormous line and no world texture" 2 "only the first 1048576 bytes are read"
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 320x240 "window size set before the enormous line"
hm_expect_eq "$(grep -c "cannot load $texture: No such file" "$HM_DIR/stderr.txt")" 1 "lines on the missing texture"
hm_new_dir # flags are on when not 0; whole numbers become 0 with a warning each
hm_write_settings $SMALL screenbpp=nan viewrange=nan usefog=inf uselight=-inf usewater=nan usetextures=nan
in_dir truncate -s 30000 "$texture"
expect_runs "NaN and infinite values and a truncated world texture" 3 \
    "cannot load $texture: the PNG image is damaged or truncated"
hm_expect_eq "$(grep -c 'is not a usable whole number' "$HM_DIR/stderr.txt")" 2 "lines on screenbpp and viewrange"
hm_new_dir
hm_write_settings $SMALL viewrange=1e9 usefog=1 uselight=1 usetextures=1 usewater=1
in_dir cp "$images/claims_100000x100000.png" "$texture"
expect_runs "viewrange=1e9 and a world texture claiming 100000 x 100000" 2 \
    "viewrange 1000000000 is more than 100; using 100"
hm_expect_eq "$(grep -c "cannot load $texture: the image must be 1 to 4096" "$HM_DIR/stderr.txt")" 1 \
    "lines on the claimed size"
hm_new_dir # named pipes nobody writes to: an ordinary open would wait for ever
mkfifo "$HM_DIR/settings.ini"
expect_runs "a named pipe as settings.ini" 1 "settings.ini is not a plain file; it is ignored"
hm_new_dir
hm_write_settings $SMALL usetextures=1
in_dir bash -c 'rm "$0" && mkfifo "$0"' "$texture"
expect_runs "a named pipe as world texture" 1 "cannot load $texture: not a plain file"

# --- refused starts ---------------------------------------------------------------
for sizes in "screenw=1e9 screenh=240" "screenw=-320 screenh=-240" "screenw=inf screenh=nan" \
    "screenw=640 screenh=16385"; do
    hm_new_dir
    hm_write_settings $sizes
    expect_refused "$sizes" 3 "a window side must be 1 to 16384 pixels"
done
# SDL refuses these itself: a side it cannot allocate (the desktop gives the
# other), a depth outside 8..32 bits, also when only probing the desktop.
for settings in "screenw=40000" "screenw=320 screenh=200 screenbpp=33" "screenbpp=7"; do
    hm_new_dir
    hm_write_settings $settings
    expect_refused "$settings" 3 "video mode"
done
hm_new_dir # SDL reads its driver from the environment: one that does not exist
expect_refused "no such video driver" 1 "cannot start SDL" env SDL_VIDEODRIVER=no-such-driver
hm_new_dir # a driver without OpenGL
expect_refused "the dummy video driver" 3 "video mode" env SDL_VIDEODRIVER=dummy

# --- Media/dashboard.png: without it the game could not be left from inside ----------
refused_dashboard() { # what text command...
    local what=$1 text=$2
    shift 2
    hm_new_dir
    hm_write_settings $SMALL
    in_dir "$@"
    expect_refused "$what as the interface atlas" 4 "cannot load $dashboard: $text"
}
refused_dashboard "a missing file" "No such file" rm "$dashboard"
refused_dashboard "text" "not a PNG image" cp "$HOLLOWMARK_SOURCE/settings.ini" "$dashboard"
refused_dashboard "a truncated PNG" "the PNG image is damaged or truncated" truncate -s 30000 "$dashboard"
refused_dashboard "a named pipe" "not a plain file" bash -c 'rm "$0" && mkfifo "$0"' "$dashboard"
refused_dashboard "a 3 x 2 image" "the image is 3 x 2 pixels; the interface needs 640 x 256" \
    cp "$HOLLOWMARK_SOURCE/fuzz/seeds/images/rgba8.png" "$dashboard"
hm_finish
