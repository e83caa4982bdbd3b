# lib.sh: runs the real game in a fresh folder ($HM_DIR, Media/ only) under its
# own Xvfb and drives it as a person would. Every wait polls for what it waits
# for: after a key or click, two drawn frames (x11_tool frames), the last look
# in $HM_FRAME. Pictures are compared only while paused, when the scene is one
# frozen frame, so no check depends on the cave. Environment: HOLLOWMARK_BIN,
# HOLLOWMARK_SOURCE, HOLLOWMARK_TOOLS (png_tool, x11_tool), HOLLOWMARK_TEST_OUT.
HM_TEST_NAME=$(basename "$0" .sh) HM_FAILURES=0 HM_DIR="" HM_PID="" HM_FRAME=""
if [ -z "${HM_INSIDE_XVFB:-}" ]; then
    export HM_INSIDE_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1
    exec bash "$(dirname "${BASH_SOURCE[0]}")/../run_in_xvfb.sh" bash "$0" "$@"
fi
hm_fail() { echo "FAIL $HM_TEST_NAME: $*" >&2 && head -n 20 "$HM_DIR/stderr.txt" >&2; exit 1; }
hm_expect_eq() {
    [ "$1" = "$2" ] && echo "ok: $3 = $1" && return
    echo "FAIL $HM_TEST_NAME: $3: expected '$2', got '$1'" >&2
    HM_FAILURES=$((HM_FAILURES + 1))
}
hm_expect_more() { [ "$1" -gt "$2" ] && echo "ok: $3 = $1" || hm_expect_eq "$1" "more than $2" "$3"; }
hm_finish() { [ "$HM_FAILURES" -eq 0 ] || hm_fail "$HM_FAILURES expectation(s) not met"; exit 0; }
hm_cleanup() { [ -n "$HM_PID" ] && kill -KILL "$HM_PID" && wait "$HM_PID"; rm -rf "$HM_DIR"; HM_PID="" HM_DIR=""; } 2>/dev/null
trap hm_cleanup EXIT
hm_new_dir() { hm_cleanup && HM_DIR=$(mktemp -d /tmp/hollowmark-e2e.XXXXXX) && cp -r "$HOLLOWMARK_SOURCE/Media" "$HM_DIR"; }
hm_write_settings() { printf '%s\n' "$@" >"$HM_DIR/settings.ini"; }
hm_stderr_lines() { wc -l <"$HM_DIR/stderr.txt" | tr -d ' '; }
hm_out() { mkdir -p "${HOLLOWMARK_TEST_OUT:-/tmp}/$HM_TEST_NAME" && echo "${HOLLOWMARK_TEST_OUT:-/tmp}/$HM_TEST_NAME"; }
hm_png() { "$HOLLOWMARK_TOOLS/png_tool" "$@" || hm_fail "png_tool $* failed"; }
hm_start() { (cd "$HM_DIR" && exec "$@" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt) & HM_PID=$!; }
hm_run_to_exit() { (cd "$HM_DIR" && exec timeout 30 "$@" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt); HM_STATUS=$?; }
hm_wait_exit() { # [seconds]
    local deadline=$((SECONDS + ${1:-30}))
    while kill -0 "$HM_PID" 2>/dev/null; do ((SECONDS < deadline)) && sleep 0.1 || hm_fail "the game did not end"; done
    wait "$HM_PID"
    HM_STATUS=$? HM_PID=""
}
# SDL may open and drop a window or two before the one it draws in.
hm_wait_window() {
    local deadline=$((SECONDS + ${HM_WINDOW_TIMEOUT:-60}))
    while [ "$SECONDS" -lt "$deadline" ]; do
        kill -0 "$HM_PID" 2>/dev/null || hm_fail "the game ended before its window appeared"
        HM_WIN=$(xdotool search --onlyvisible --name '^The Hollowmark$' 2>/dev/null | head -n 1)
        [ -n "$HM_WIN" ] && eval "$(xdotool getwindowgeometry --shell "$HM_WIN" 2>/dev/null)" &&
            HM_WIDTH=$WIDTH HM_HEIGHT=$HEIGHT && hm_mid && [ -e "$HM_FRAME" ] && return 0
        sleep 0.25
    done
    hm_fail "no window with a frame drawn"
}
hm_close_window() { "$HOLLOWMARK_TOOLS/x11_tool" close "$HM_WIN" || hm_fail "cannot send the close request"; }
hm_frames() { # x y [rectangle that must rest]; no $HM_FRAME once the window is gone
    HM_FRAME="$HM_DIR/.frame.png"
    rm -f "$HM_FRAME"
    "$HOLLOWMARK_TOOLS/x11_tool" frames "$HM_WIN" "$@" "$HM_FRAME" 2>/dev/null
    case $? in 0 | 3) ;; *) hm_fail "the game drew nothing for 60 s" ;; esac
}
# Press and release each fall in frames of their own, or the game misses them.
# No window manager: the window takes the focus itself.
hm_mid() { hm_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)); }
hm_key() { xdotool windowfocus "$HM_WIN" keydown "$1" && hm_mid && xdotool keyup "$1" && hm_mid; }
hm_click() { # x y [button]
    xdotool mousemove --window "$HM_WIN" "$1" "$2" mousedown "${3:-1}" && hm_frames "$1" "$2" &&
        xdotool mouseup "${3:-1}" && hm_frames "$1" "$2"
}
# Buttons 50 pixels apart from 125 above the middle: 0 resume, 1 exit, 2 screenshot, 3 frame rate.
hm_menu_click() { hm_click $((HM_WIDTH / 2)) $((HM_HEIGHT / 2 - 125 + 50 * $1)); }
# Escape, then frames until the menu's left part has stopped sliding.
hm_open_menu() { # file
    hm_key Escape
    hm_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)) 0 60 $((HM_WIDTH / 2 - 30)) $((HM_HEIGHT - 120))
    cp "$HM_FRAME" "$1" || hm_fail "the game ended instead of pausing"
}
