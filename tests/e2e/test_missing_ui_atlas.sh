#!/usr/bin/env bash
# Without a usable Media/dashboard.png the game cannot show its menus, so it
# stops at start-up with status 4 and one line on stderr naming the file.
source "$(dirname "$0")/lib.sh"
hm_under_xvfb "$@"

hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
rm -f "$HM_DIR/Media/dashboard.png"
hm_run_to_exit
hm_expect_eq "$HM_STATUS" 4 "exit status without Media/dashboard.png"
hm_expect_eq "$(hm_stderr_lines)" 1 "lines on stderr"
hm_expect_eq "$(grep -c 'Media/dashboard.png' "$HM_DIR/stderr.txt")" 1 "lines naming the file"
hm_note "the game said: $(cat "$HM_DIR/stderr.txt")"

hm_new_dir
hm_write_settings "screenw=640" "screenh=480"
printf 'this is not a picture\n' >"$HM_DIR/Media/dashboard.png"
hm_run_to_exit
hm_expect_eq "$HM_STATUS" 4 "exit status with an unreadable Media/dashboard.png"
hm_expect_eq "$(hm_stderr_lines)" 1 "lines on stderr"
hm_expect_eq "$(grep -c 'Media/dashboard.png' "$HM_DIR/stderr.txt")" 1 "lines naming the file"
hm_note "the game said: $(cat "$HM_DIR/stderr.txt")"
hm_finish
