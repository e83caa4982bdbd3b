# lib.sh: runs the real game in a fresh folder ($HM_DIR: Media/, settings.ini) under its own Xvfb
# and drives it as a person would. Every wait polls for what it waits for: after a key or click,
# two drawn frames, the last look in $HM_FRAME. The first unmet expectation ends the script and
# keeps its folder. Environment: HOLLOWMARK_BIN, HOLLOWMARK_SOURCE, HOLLOWMARK_TOOLS (e2e_tool).
[ -n "${HM_INSIDE_XVFB:-}" ] || HM_INSIDE_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1 exec bash "$(dirname "${BASH_SOURCE[0]}")/../run_in_xvfb.sh" bash "$0"
HM_DIR="" HM_PID="" HM_TOOL=$HOLLOWMARK_TOOLS/e2e_tool
# The shipped settings turn sound on: SDL's silent audio driver, so that no script depends on the
# machine's sound device (a script may give the game its own).
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
hm_fail() { echo "FAIL $(basename "$0"): $* (folder kept: $HM_DIR)" >&2; head -n 20 "$HM_DIR/stderr.txt" >&2 2>/dev/null; HM_DIR=""; exit 1; }
hm_expect_eq() { [ "$1" = "$2" ] && echo "ok: $3 = $1" || hm_fail "$3: expected '$2', got '$1'"; }
hm_expect_more() { [ "$1" -gt "$2" ] && echo "ok: $3 = $1" || hm_fail "$3: expected more than $2, got '$1'"; }
hm_until() { # seconds, what is missing after them, command
    local deadline=$((SECONDS + $1)); until "${@:3}"; do ((SECONDS < deadline)) && sleep 0.1 || hm_fail "$2"; done
}
hm_cleanup() { [ -n "$HM_PID" ] && kill -KILL "$HM_PID" && wait "$HM_PID"; rm -rf "$HM_DIR"; HM_PID="" HM_DIR=""; } 2>/dev/null
trap hm_cleanup EXIT
hm_new_dir() { # settings.ini line... (- or none: no file)
    hm_cleanup && HM_DIR=$(mktemp -d /tmp/hollowmark-e2e.XXXXXX) && cp -r "$HOLLOWMARK_SOURCE/Media" "$HM_DIR"
    [ "${1:--}" = - ] || printf '%b\n' "$@" >"$HM_DIR/settings.ini"
}
hm_png() { "$HM_TOOL" "$@" || hm_fail "e2e_tool $* failed"; }
hm_start() { (cd "$HM_DIR" && exec "$@" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt) & HM_PID=$!; } # [wrapper...]
hm_window() { # SDL may open and drop a window or two before the one it draws in
    kill -0 "$HM_PID" 2>/dev/null || hm_fail "the game ended before its window appeared"
    HM_WIN=$(xdotool search --onlyvisible --name '^The Hollowmark$' 2>/dev/null | head -n 1)
    [ -n "$HM_WIN" ] && eval "$(xdotool getwindowgeometry --shell "$HM_WIN" 2>/dev/null)" &&
        HM_WIDTH=$WIDTH HM_HEIGHT=$HEIGHT && hm_mid && [ -e "$HM_FRAME" ]
}
hm_play() { hm_start "$@"; hm_until "${HM_WINDOW_TIMEOUT:-60}" "no window with a frame drawn" hm_window; }
hm_ends() { # status stderr-lines, what led there
    hm_until 60 "the game did not end" eval '! kill -0 $HM_PID 2>/dev/null' && wait "$HM_PID"
    hm_expect_eq "$? $(wc -l <"$HM_DIR/stderr.txt")" "$1" "exit status and stderr lines $2" && HM_PID=""
}
hm_close_window() { "$HM_TOOL" close "$HM_WIN" || hm_fail "cannot send the close request"; }
hm_frames() { # x y [rectangle that must rest]; no $HM_FRAME once the window is gone
    HM_FRAME=$HM_DIR/.frame.png && rm -f "$HM_FRAME"
    "$HM_TOOL" frames "$HM_WIN" "$@" "$HM_FRAME" 2>/dev/null || [ $? = 3 ] || hm_fail "the game drew nothing for 60 s"
}
hm_mid() { hm_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)) "$@"; }
# Press and release each fall in frames of their own, or the game misses them.
hm_press() { xdotool mousemove --window "$HM_WIN" "$1" "$2" $3 && hm_frames "$1" "$2" && xdotool $4 && hm_frames "$1" "$2"; }
hm_click() { hm_press "$1" "$2" "mousedown ${3:-1}" "mouseup ${3:-1}"; } # x y [button]
hm_key() { xdotool windowfocus "$HM_WIN"; hm_press $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)) "keydown $1" "keyup $1"; } # no window manager
# Buttons 50 pixels apart from 125 above the middle: 0 resume, 1 exit, 2 screenshot, 3 frame rate.
hm_menu_click() { hm_click $((HM_WIDTH / 2)) $((HM_HEIGHT / 2 - 125 + 50 * $1)); }
hm_open_menu() { # then frames until the menu's left part has stopped sliding, kept in paused.png
    hm_key Escape
    hm_mid 0 60 $((HM_WIDTH / 2 - 30)) $((HM_HEIGHT - 120))
    cp "$HM_FRAME" "$HM_DIR/paused.png" 2>/dev/null || hm_fail "the game ended instead of pausing"
}
hm_exit_by_menu() { hm_open_menu; hm_menu_click 1; hm_ends "$@"; }
