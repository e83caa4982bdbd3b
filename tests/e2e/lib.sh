# lib.sh: shared helpers for the end-to-end tests, which run the real game in
# a fresh folder under a virtual X server and drive it as a person would.
#
# A test script starts with
#     source "$(dirname "$0")/lib.sh"
#     hm_under_xvfb "$@"
# which re-runs the whole script once inside its own Xvfb (1024 x 768, see
# tests/run_in_xvfb.sh), then for each run:
#     hm_new_dir                         # fresh folder with Media/, no settings.ini
#     hm_write_settings "screenw=800" "screenh=600"
#     hm_start                           # the game, in the background ($HM_PID)
#     hm_wait_window                     # $HM_WIN, $HM_WIDTH, $HM_HEIGHT
#     hm_close_window; hm_wait_exit      # $HM_STATUS
#     hm_expect_eq "$HM_STATUS" 0 "exit status after closing the window"
# The folder and any game still running are cleaned up when the script ends.
#
# Environment (set by ctest): HOLLOWMARK_BIN, HOLLOWMARK_SOURCE,
# HOLLOWMARK_TOOLS (where the tests/tools helpers are built), HOLLOWMARK_TEST_OUT.

HM_WINDOW_NAME="The Hollowmark"
HM_WINDOW_TIMEOUT=${HM_WINDOW_TIMEOUT:-60} # seconds; software GL on a loaded machine
HM_EXIT_TIMEOUT=${HM_EXIT_TIMEOUT:-30}     # seconds
HM_PRESS_SECONDS=0.1                        # longer than a frame, so the press is seen

HM_DIR=""
HM_PID=""
HM_WIN=""
HM_WIDTH=""
HM_HEIGHT=""
HM_STATUS=""
HM_FAILURES=0
HM_TEST_NAME=$(basename "${BASH_SOURCE[1]:-$0}" .sh)

# --- running under Xvfb -----------------------------------------------------

# Re-executes the calling script under its own virtual X server; inside it,
# returns at once. Software GL keeps the frames identical on every machine.
hm_under_xvfb() {
    if [ -n "${HM_INSIDE_XVFB:-}" ]; then
        return 0
    fi
    local script
    script=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)/$(basename "${BASH_SOURCE[1]}")
    for tool in xvfb-run xdotool xwininfo; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL $HM_TEST_NAME: $tool is not installed (scripts/deps.sh installs it)" >&2
            exit 1
        fi
    done
    export HM_INSIDE_XVFB=1
    export LIBGL_ALWAYS_SOFTWARE=1
    exec bash "$(dirname "${BASH_SOURCE[0]}")/../run_in_xvfb.sh" bash "$script" "$@"
}

# --- reporting --------------------------------------------------------------

hm_fail() {
    echo "FAIL $HM_TEST_NAME: $*" >&2
    if [ -n "$HM_DIR" ] && [ -s "$HM_DIR/stderr.txt" ]; then
        echo "--- the game's stderr:" >&2
        head -n 20 "$HM_DIR/stderr.txt" >&2
    fi
    exit 1
}

hm_note() { echo "$HM_TEST_NAME: $*"; }

# Records a failed expectation and carries on, so one run reports every
# mismatch; hm_finish turns them into the exit status.
hm_expect_eq() {
    local actual=$1 expected=$2 what=$3
    if [ "$actual" = "$expected" ]; then
        hm_note "ok: $what = $actual"
    else
        echo "FAIL $HM_TEST_NAME: $what: expected '$expected', got '$actual'" >&2
        HM_FAILURES=$((HM_FAILURES + 1))
    fi
}

hm_finish() {
    if [ "$HM_FAILURES" -ne 0 ]; then
        echo "FAIL $HM_TEST_NAME: $HM_FAILURES expectation(s) not met" >&2
        exit 1
    fi
    hm_note "passed"
    exit 0
}

# --- the game's folder and process ------------------------------------------

hm_cleanup() {
    hm_kill_game
    if [ -n "$HM_DIR" ] && [ -d "$HM_DIR" ]; then
        rm -rf "$HM_DIR"
    fi
    HM_DIR=""
}
trap hm_cleanup EXIT

# Ends a game still running from this script (only the one it started).
hm_kill_game() {
    if [ -n "$HM_PID" ] && kill -0 "$HM_PID" 2>/dev/null; then
        kill -KILL "$HM_PID" 2>/dev/null
        wait "$HM_PID" 2>/dev/null
    fi
    HM_PID=""
}

# A fresh working folder with a copy of Media/ (when the source has one) and
# no settings.ini; replaces the previous one.
hm_new_dir() {
    hm_cleanup
    [ -n "${HOLLOWMARK_BIN:-}" ] && [ -x "$HOLLOWMARK_BIN" ] ||
        hm_fail "HOLLOWMARK_BIN does not name the built game ('${HOLLOWMARK_BIN:-}')"
    HM_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hollowmark-e2e.XXXXXX") || hm_fail "cannot make a temporary folder"
    if [ -n "${HOLLOWMARK_SOURCE:-}" ] && [ -d "$HOLLOWMARK_SOURCE/Media" ]; then
        cp -r "$HOLLOWMARK_SOURCE/Media" "$HM_DIR/Media" || hm_fail "cannot copy Media/"
    fi
}

# Writes settings.ini from the arguments, one line each.
hm_write_settings() {
    printf '%s\n' "$@" >"$HM_DIR/settings.ini" || hm_fail "cannot write settings.ini"
}

# Starts the game in $HM_DIR in the background; its output goes to
# $HM_DIR/stdout.txt and $HM_DIR/stderr.txt.
hm_start() {
    HM_WIN=""
    HM_STATUS=""
    (cd "$HM_DIR" && exec "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt) &
    HM_PID=$!
}

# Runs the game in the foreground until it ends (for runs that should fail
# at start-up); sets HM_STATUS.
hm_run_to_exit() {
    HM_STATUS=""
    (cd "$HM_DIR" && timeout "$HM_EXIT_TIMEOUT" "$HOLLOWMARK_BIN" >stdout.txt 2>stderr.txt)
    HM_STATUS=$?
    [ "$HM_STATUS" -eq 124 ] && hm_fail "the game was still running after ${HM_EXIT_TIMEOUT}s"
}

# Lines the game wrote to stderr.
hm_stderr_lines() { wc -l <"$HM_DIR/stderr.txt" | tr -d ' '; }

# Waits for the game's window to be mapped and to keep the same id and size
# over two looks a moment apart: SDL replaces the window once while opening
# the GL context, so the first window seen may vanish. Sets HM_WIN, HM_WIDTH
# and HM_HEIGHT.
hm_wait_window() {
    local timeout=${1:-$HM_WINDOW_TIMEOUT}
    local deadline=$((SECONDS + timeout))
    local last="" now="" win="" info=""
    while [ "$SECONDS" -lt "$deadline" ]; do
        if ! kill -0 "$HM_PID" 2>/dev/null; then
            wait "$HM_PID" 2>/dev/null
            hm_fail "the game ended (status $?) before its window appeared"
        fi
        win=$(xdotool search --onlyvisible --name "^$HM_WINDOW_NAME\$" 2>/dev/null | head -n 1)
        now=""
        if [ -n "$win" ]; then
            info=$(xwininfo -id "$win" 2>/dev/null)
            if [ -n "$info" ]; then
                now="$win $(echo "$info" | awk '/^ *Width:/ {print $2}') $(echo "$info" | awk '/^ *Height:/ {print $2}')"
            fi
        fi
        if [ -n "$now" ] && [ "$now" = "$last" ]; then
            read -r HM_WIN HM_WIDTH HM_HEIGHT <<<"$now"
            return 0
        fi
        last=$now
        sleep 0.25
    done
    hm_fail "no window named '$HM_WINDOW_NAME' within ${timeout}s"
}

# Waits for the game to end by itself; sets HM_STATUS.
hm_wait_exit() {
    local timeout=${1:-$HM_EXIT_TIMEOUT}
    local deadline=$((SECONDS + timeout))
    while kill -0 "$HM_PID" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || hm_fail "the game did not end within ${timeout}s"
        sleep 0.1
    done
    wait "$HM_PID"
    HM_STATUS=$?
    HM_PID=""
}

# --- driving the game ---------------------------------------------------------

# The window manager's close button: a WM_DELETE_WINDOW message.
hm_close_window() {
    "$HOLLOWMARK_TOOLS/x11_close_window" "$HM_WIN" || hm_fail "could not send the close request"
}

# Saves what the window shows as a PNG (8-bit RGB).
hm_capture() {
    local file=$1
    "$HOLLOWMARK_TOOLS/x11_capture_window" "$HM_WIN" "$file" || hm_fail "could not capture the window"
}

# Where a test keeps its pictures for a person to look at.
hm_output_dir() {
    local dir=${HOLLOWMARK_TEST_OUT:-${TMPDIR:-/tmp}}/$HM_TEST_NAME
    mkdir -p "$dir" && echo "$dir"
}

# Moves the pointer to (x, y) in window pixels.
hm_pointer() {
    xdotool mousemove --window "$HM_WIN" "$1" "$2" || hm_fail "could not move the pointer"
}

# Presses and releases a key (xdotool key name, e.g. Escape, q, space). The
# window is given the keyboard focus first: there is no window manager.
hm_key() {
    local key=$1 seconds=${2:-$HM_PRESS_SECONDS}
    xdotool windowfocus "$HM_WIN" 2>/dev/null
    xdotool keydown "$key" && sleep "$seconds" && xdotool keyup "$key" ||
        hm_fail "could not press $key"
}

# Presses and releases a mouse button (1 left, 3 right) at (x, y).
hm_click() {
    local x=$1 y=$2 button=${3:-1} seconds=${4:-$HM_PRESS_SECONDS}
    hm_pointer "$x" "$y"
    xdotool mousedown "$button" && sleep "$seconds" && xdotool mouseup "$button" ||
        hm_fail "could not click button $button"
}
