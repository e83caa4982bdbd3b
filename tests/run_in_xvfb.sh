#!/usr/bin/env bash
# run_in_xvfb.sh: runs a command under its own virtual X server (1024 x 768,
# 24 bits) and passes on the command's exit status.
# Usage: run_in_xvfb.sh command [argument...]
#
# Two servers started at the same moment (parallel ctest, several builds on
# one machine) can pick the same display number; xvfb-run then fails before
# the command runs. That start is retried; a failure of the command is not.
# -noreset: without it the server resets when its last client disconnects,
# and SDL 1.2 then fails to open the display now and then.
set -u
screen="-noreset -screen 0 1024x768x24"
marker=$(mktemp "${TMPDIR:-/tmp}/hollowmark-xvfb.XXXXXX") || exit 1
for attempt in 1 2 3 4 5; do
    rm -f "$marker"
    xvfb-run -a -s "$screen" bash -c 'touch "$0" && exec "$@"' "$marker" "$@"
    status=$?
    if [ -e "$marker" ]; then
        rm -f "$marker"
        exit "$status"
    fi
    echo "run_in_xvfb: the virtual X server did not start (attempt $attempt), retrying" >&2
    sleep $((attempt + RANDOM % 3))
done
echo "run_in_xvfb: could not start a virtual X server" >&2
exit 1
