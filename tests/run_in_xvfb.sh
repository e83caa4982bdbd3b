#!/usr/bin/env bash
# Runs a command under its own Xvfb and passes on its status. Two servers started at once may pick
# one display number, and xvfb-run then fails before the command runs: only that is retried.
# -noreset: else the server resets when its last client leaves and SDL 1.2 at times cannot connect.
marker=$(mktemp) || exit 1
for attempt in 1 2 3 4 5; do
    rm -f "$marker"
    xvfb-run -a -s "-noreset -screen 0 1024x768x24" bash -c 'touch "$0" && exec "$@"' "$marker" "$@"
    status=$?
    [ -e "$marker" ] && rm -f "$marker" && exit "$status"
    echo "run_in_xvfb: the virtual X server did not start (attempt $attempt)" >&2
    sleep $((attempt + RANDOM % 3))
done
exit 1
