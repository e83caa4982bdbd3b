# lib.sh: the harness of the end-to-end tests, which run the real game in a
# fresh folder under a virtual X server and drive it as a person would.
#
#     source "$(dirname "$0")/lib.sh"   # re-runs the script under its own Xvfb
#     hm_new_dir                        # fresh $HM_DIR with Media/, no settings.ini
#     hm_write_settings screenw=640 screenh=480
#     hm_start                          # the game in the background ($HM_PID)
#     hm_wait_window                    # $HM_WIN, $HM_WIDTH, $HM_HEIGHT
#     hm_key e; hm_click X Y [BUTTON]   # each seen by the game, its effect drawn
#     hm_open_menu FILE; hm_menu_click 1 # Escape, menu at rest (saved in FILE); "Exit"
#     hm_wait_exit                      # $HM_STATUS
#     hm_expect_eq "$HM_STATUS" 0 "exit status after Exit"
#     hm_finish
# Pictures: hm_capture FILE, $HM_FRAME (the last look after a key or click),
# hm_png info|diff (tests/tools/png_tool.cpp). Expectations that fail are
# counted and reported by hm_finish; hm_fail ends the script at once. Nothing
# waits a fixed time alone: every wait polls for what it waits for, with a
# deadline. Compare pictures taken while paused: the scene is a frozen frame
# then, while the cave and what moves in it differ from run to run. The
# game's output is in $HM_DIR/stdout.txt and stderr.txt. The folder and any
# game this script started are removed when it ends.
# Environment (set by ctest and scripts/soak.sh): HOLLOWMARK_BIN, HOLLOWMARK_SOURCE,
# HOLLOWMARK_TOOLS (where png_tool and x11_tool are built), HOLLOWMARK_TEST_OUT.

HM_TEST_NAME=$(basename "$0" .sh)
HM_WINDOW_TIMEOUT=${HM_WINDOW_TIMEOUT:-60} # seconds; software GL on a loaded machine
HM_FAILURES=0 HM_DIR="" HM_PID=""

if [ -z "${HM_INSIDE_XVFB:-}" ]; then
    export HM_INSIDE_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1
    exec bash "$(dirname "${BASH_SOURCE[0]}")/../run_in_xvfb.sh" bash "$0" "$@"
fi

hm_note() { echo "$HM_TEST_NAME: $*"; }
hm_fail() {
    echo "FAIL $HM_TEST_NAME: $*" >&2
    [ -s "$HM_DIR/stderr.txt" ] && { echo "--- the game's stderr:"; head -n 20 "$HM_DIR/stderr.txt"; } >&2
    exit 1
}
hm_expect_eq() { # actual expected what
    if [ "$1" = "$2" ]; then
        hm_note "ok: $3 = $1"
    else
        echo "FAIL $HM_TEST_NAME: $3: expected '$2', got '$1'" >&2
        HM_FAILURES=$((HM_FAILURES + 1))
    fi
}
hm_expect_more() { # actual least what: actual > least
    if [ "$1" -gt "$2" ]; then hm_note "ok: $3 = $1"; else hm_expect_eq "$1" "more than $2" "$3"; fi
}
hm_finish() {
    [ "$HM_FAILURES" -eq 0 ] || hm_fail "$HM_FAILURES expectation(s) not met"
    hm_note passed
    exit 0
}

hm_cleanup() { # ends the game this script started, if it still runs, and removes its folder
    [ -n "$HM_PID" ] && kill -KILL "$HM_PID" 2>/dev/null && wait "$HM_PID" 2>/dev/null
    [ -n "$HM_DIR" ] && rm -rf "$HM_DIR"
    HM_PID="" HM_DIR=""
}
trap hm_cleanup EXIT

hm_new_dir() {
    hm_cleanup
    [ -x "${HOLLOWMARK_BIN:-}" ] || hm_fail "HOLLOWMARK_BIN does not name the built game"
    HM_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hollowmark-e2e.XXXXXX") || hm_fail "no temporary folder"
    cp -r "$HOLLOWMARK_SOURCE/Media" "$HM_DIR/Media" || hm_fail "cannot copy Media/"
}
hm_write_settings() { printf '%s\n' "$@" >"$HM_DIR/settings.ini" || hm_fail "cannot write settings.ini"; }
hm_stderr_lines() { wc -l <"$HM_DIR/stderr.txt" | tr -d ' '; }
hm_output_dir() { # where pictures are kept for a person to look at
    mkdir -p "${HOLLOWMARK_TEST_OUT:-/tmp}/$HM_TEST_NAME" && echo "${HOLLOWMARK_TEST_OUT:-/tmp}/$HM_TEST_NAME"
}

# Starts the game in $HM_DIR in the background; arguments go before it (a
# wrapper such as "env VAR=value").
hm_start() {
    (cd "$HM_DIR" && exec "$@" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt) &
    HM_PID=$!
}
# Runs the game until it ends by itself (a refused start); sets HM_STATUS.
hm_run_to_exit() {
    (cd "$HM_DIR" && exec timeout 30 "$@" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt)
    HM_STATUS=$?
    [ "$HM_STATUS" -ne 124 ] || hm_fail "the game was still running after 30 s"
}
hm_wait_exit() { # [seconds]
    local deadline=$((SECONDS + ${1:-30}))
    while kill -0 "$HM_PID" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || hm_fail "the game did not end within ${1:-30} s"
        sleep 0.1
    done
    wait "$HM_PID"
    HM_STATUS=$? HM_PID=""
}

# Waits for the game's window and its first frames. The game may open a
# window to learn the desktop's size and SDL may replace one while it sets up
# GL; neither is drawn on and both vanish. Input sent before the first frame
# would arrive all in one frame, unseen.
hm_wait_window() {
    local deadline=$((SECONDS + HM_WINDOW_TIMEOUT))
    while [ "$SECONDS" -lt "$deadline" ]; do
        kill -0 "$HM_PID" 2>/dev/null || hm_fail "the game ended before its window appeared"
        HM_WIN=$(xdotool search --onlyvisible --name '^The Hollowmark$' 2>/dev/null | head -n 1) HM_HEIGHT=""
        [ -n "$HM_WIN" ] && read -r HM_WIDTH HM_HEIGHT < <(xwininfo -id "$HM_WIN" 2>/dev/null |
            awk '/^ *(Width|Height):/ {printf "%s ", $2}')
        # The pointer's offset from the centre turns the view: rest it there.
        [ -n "$HM_HEIGHT" ] && hm_two_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)) && [ -e "$HM_FRAME" ] && return 0
        sleep 0.25
    done
    hm_fail "no window with a frame drawn within $HM_WINDOW_TIMEOUT s"
}

hm_close_window() { "$HOLLOWMARK_TOOLS/x11_tool" close "$HM_WIN" || hm_fail "cannot send the close request"; }
hm_capture() { # false when the window is gone (the game is ending): the caller sees to it
    "$HOLLOWMARK_TOOLS/x11_tool" capture "$HM_WIN" "$1" 2>/dev/null
    case $? in 0) return 0 ;; 3) return 1 ;; *) hm_fail "cannot capture the window" ;; esac
}
hm_png() { "$HOLLOWMARK_TOOLS/png_tool" "$@" || hm_fail "png_tool $* failed"; }
hm_pointer() { xdotool mousemove --window "$HM_WIN" "$1" "$2" || hm_fail "cannot move the pointer"; }
# Waits until the game has drawn two frames after the call (see x11_tool
# frames), with the pointer ending at (x, y); the last look is in $HM_FRAME.
# When the window is gone there is no $HM_FRAME: a click on "Exit" ends the
# game in the frame that sees it, and the caller looks at the exit status.
HM_FRAME=""
hm_two_frames() { # x y [rectangle that must rest]
    HM_FRAME="$HM_DIR/.frame.png"
    rm -f "$HM_FRAME"
    "$HOLLOWMARK_TOOLS/x11_tool" frames "$HM_WIN" "$1" "$2" "$HM_FRAME" "${@:3}" 2>/dev/null
    case $? in 0 | 3) ;; *) hm_fail "the game drew nothing for 60 s" ;; esac
}
# A press and its release must fall into different frames to be seen, and a
# release and the next press too: each waits for two frames, after which
# what the press did is on the screen. The window gets
# the keyboard focus first: there is no window manager. Keys are pressed with
# the pointer at the window's centre, where it does not turn the view.
hm_key() { # key
    xdotool windowfocus "$HM_WIN" keydown "$1" || hm_fail "cannot press $1"
    hm_two_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2))
    xdotool keyup "$1" || hm_fail "cannot release $1"
    hm_two_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2))
}
hm_click() { # x y [button]
    xdotool mousemove --window "$HM_WIN" "$1" "$2" mousedown "${3:-1}" || hm_fail "cannot click"
    hm_two_frames "$1" "$2"
    xdotool mouseup "${3:-1}" || hm_fail "cannot release the button"
    hm_two_frames "$1" "$2"
}

# The pause menu: four buttons 50 pixels apart, centred in the window, the
# first 125 pixels above the middle once it has slid in.
hm_menu_click() { # button: 0 resume, 1 exit, 2 screenshot, 3 frame rate
    hm_click $((HM_WIDTH / 2)) $((HM_HEIGHT / 2 - 125 + 50 * $1))
}
# The lower banner, which slides away when the game resumes; nothing else
# changes it while paused (the pointer stays above it on the buttons).
hm_lower_banner() { echo "0 $((HM_HEIGHT - 60)) $HM_WIDTH 60"; }
# Escape, then waits until the menu has stopped: its left part, clear of the
# pointer, the same after two frames (while it slides it moves every frame).
# The last look is saved as $1.
hm_open_menu() { # file
    hm_key Escape
    hm_two_frames $((HM_WIDTH / 2)) $((HM_HEIGHT / 2)) 0 60 $((HM_WIDTH / 2 - 30)) $((HM_HEIGHT - 120))
    cp "$HM_FRAME" "$1" || hm_fail "the game ended instead of pausing"
}
