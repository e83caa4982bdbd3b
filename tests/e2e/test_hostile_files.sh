#!/usr/bin/env bash
# Hostile settings.ini, Media/worldtexture.png and Media/dashboard.png, and starts the platform
# refuses: the game either runs with one stderr line for each thing ignored and ends with 0 when
# closed, or ends at once with one line and its status: 1 no SDL, 3 no video mode, 4 no atlas.
source "$(dirname "$0")/lib.sh"
texture=Media/worldtexture.png dashboard=Media/dashboard.png images=$HOLLOWMARK_SOURCE/fuzz/seeds/images
case_() { # settings.ini text (- for none), then a command making the hostile file in $HM_DIR
    hm_new_dir "$1" && [ $# -eq 1 ] || (cd "$HM_DIR" && "${@:2}") || hm_fail "cannot make the file: ${*:2}"
}
said() { for text; do hm_expect_eq "$(grep -c -- "$text" "$HM_DIR/stderr.txt")" 1 "lines saying '$text'"; done; }
runs() { hm_play; hm_close_window; hm_ends "0 $1" && said "${@:2}"; } # lines text... (each said once)
refused() { hm_start "${@:3}"; hm_ends "$1 1" && said "$2"; } # status text [wrapper...]
SMALL='screenw=320\nscreenh=240\nusetextures=1' # small windows keep software GL quick
binary() { { printf "$SMALL\n"; head -c 65536 "$HOLLOWMARK_BIN"; } >settings.ini && cp $images/palette2.png $texture; }
enormous() { { printf "$SMALL\n"; head -c 3145728 /dev/zero | tr '\0' x; } >settings.ini && rm $texture; }
case_ - touch settings.ini && runs 0
case_ - binary && runs 0
case_ - enormous && runs 2 "only the first 1048576 bytes are read" "cannot load $texture: No such file"
hm_expect_eq "${HM_WIDTH}x$HM_HEIGHT" 320x240 "size set before the enormous line"
case_ "${SMALL}\nscreenbpp=nan\nviewrange=nan\nusefog=inf\nusewater=-inf" truncate -s 30000 $texture
runs 3 "cannot load $texture: the PNG image is damaged or truncated" "screenbpp.*is not a usable whole number" \
    "viewrange.*is not a usable whole number"
case_ "${SMALL}\nviewrange=1e9" cp "$HOLLOWMARK_SOURCE/tests/fuzz_regressions/images/claims_100000x100000.png" $texture
runs 2 "viewrange 1000000000 is more than 100; using 100" "cannot load $texture: the image must be 1 to 4096"
case_ - mkfifo settings.ini && runs 1 "settings.ini is not a plain file; it is ignored" # an open would wait for ever
case_ "$SMALL" eval "rm $texture && mkfifo $texture" && runs 1 "cannot load $texture: not a plain file"
case_ "$SMALL" cp "$HOLLOWMARK_SOURCE/settings.ini" $texture && runs 1 "cannot load $texture: not a PNG image"
for sizes in "screenw=1e9\nscreenh=240" "screenw=-320\nscreenh=-240" "screenw=inf\nscreenh=nan" "screenh=16385"; do
    case_ "$sizes" && refused 3 "a window side must be 1 to 16384 pixels"
done
for settings in "screenw=40000" "screenw=320\nscreenh=200\nscreenbpp=33" "screenbpp=7"; do # SDL's own refusals
    case_ "$settings" && refused 3 "video mode"
done
case_ - && refused 1 "cannot start SDL" env SDL_VIDEODRIVER=no-such-driver
case_ - && refused 1 "no X display" env -u DISPLAY # not a text terminal's driver, writing escapes
hm_expect_eq "$(wc -c <"$HM_DIR/stdout.txt")" 0 "bytes on stdout without a display"
case_ - && refused 3 "video mode" env SDL_VIDEODRIVER=dummy # no OpenGL
case_ "$SMALL" rm $dashboard && refused 4 "cannot load $dashboard: No such file"
case_ "$SMALL" truncate -s 30000 $dashboard && refused 4 "$dashboard: the PNG image is damaged or truncated"
case_ "$SMALL" cp $images/rgba8.png $dashboard &&
    refused 4 "$dashboard: the image is 3 x 2 pixels; the interface needs 640 x 256"
